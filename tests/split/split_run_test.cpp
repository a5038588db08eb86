// Whole runs through the two steps the window and the command line both take:
// the checks, then the split.
#include "split/split_run.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif
#include <string>
#include <vector>

#include "split/io/native_file.h"
#include "split/split_texts.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::readFile;
using test::TempDir;

// What a front end shows of a run: message boxes, status lines, and the
// Start button turning busy and idle again.
struct RecordingObserver {
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<bool> busyChanges;
};

// A run as a front end makes it, recording what it would show.
SplitOutcome runSplit(const SplitRequest& request, RecordingObserver& shown) {
    const SplitCheck check = checkSplitRequest(request);
    if (!check.plan) {
        shown.messages.push_back(check.message);
        SplitOutcome refused;
        refused.result = SplitOutcome::Result::CheckFailed;
        return refused;
    }
    shown.busyChanges.push_back(true);
    shown.statuses.push_back(texts::progress(check.plan->baseName));
    SplitOutcome outcome = executeSplit(*check.plan);
    shown.statuses.push_back(outcome.status);
    if (!outcome.message.empty()) shown.messages.push_back(outcome.message);
    shown.busyChanges.push_back(false);
    return outcome;
}

class SplitRunTest : public ::testing::Test {
protected:
    SplitRequest bySize(const std::string& source, const std::string& size) const {
        SplitRequest request;
        request.sourcePath = source;
        request.saveFolder = out.path();
        request.baseName = "novel";
        request.mode = SplitMode::BySize;
        request.numberText = size;
        return request;
    }
    SplitRequest byCount(const std::string& source, const std::string& count) const {
        SplitRequest request = bySize(source, "100");
        request.mode = SplitMode::ByCount;
        request.numberText = count;
        return request;
    }
    std::string part(int n) const {
        return readFile(out.file("novel_" + std::to_string(n) + ".txt"));
    }
    std::vector<std::string> partNames() const { return out.list(); }

    TempDir in;
    TempDir out;
    RecordingObserver observer;
};

TEST_F(SplitRunTest, MissingSourceShowsItsMessageAndChangesNothing) {
    SplitRequest request = bySize("请点击“浏览”选择要分割的TxT文件", "100");
    const SplitOutcome outcome = runSplit(request, observer);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(observer.messages, std::vector<std::string>{"要分割的TXT文件路径不正确！"});
    EXPECT_TRUE(observer.statuses.empty());
    // A folder is no source either.
    request.sourcePath = in.path();
    EXPECT_EQ(runSplit(request, observer).result, SplitOutcome::Result::CheckFailed);
}

TEST_F(SplitRunTest, MissingSaveFolderShowsItsMessage) {
    const std::string source = in.write("novel.txt", "a\r\n");
    SplitRequest request = bySize(source, "100");
    request.saveFolder = "请“设置”要保存分割后文件的路径";
    runSplit(request, observer);
    // A file where the folder should be is no folder.
    request.saveFolder = source;
    runSplit(request, observer);
    EXPECT_EQ(observer.messages,
              std::vector<std::string>(2, "要保存分割后的TXT文件的路径不存在！"));
    EXPECT_TRUE(partNames().empty());
}

TEST_F(SplitRunTest, BadNumbersAreRefusedBeforeAnythingIsTouched) {
    const std::string source = in.write("novel.txt", "a\r\nb\r\n");
    for (const char* size : {"", "abc", "-5"}) runSplit(bySize(source, size), observer);
    for (const char* count : {"", "0", "-2", "x"}) runSplit(byCount(source, count), observer);
    std::vector<std::string> expected(3, "请输入正确的文件大小(KB)！");
    expected.insert(expected.end(), 4, "请输入正确的分割文件个数！");
    EXPECT_EQ(observer.messages, expected);
    EXPECT_TRUE(observer.busyChanges.empty());
    EXPECT_TRUE(partNames().empty());
}

TEST_F(SplitRunTest, ThreeLinesWithSizeZeroMakeThreeParts) {
    const std::string source = in.write("novel.txt", "a\r\nb\r\nc\r\n");
    const SplitOutcome outcome = runSplit(bySize(source, "0"), observer);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Done);
    EXPECT_EQ(outcome.parts, 3u);
    EXPECT_EQ(part(1), "a\r\n");
    EXPECT_EQ(part(2), "b\r\n");
    EXPECT_EQ(part(3), "c\r\n");
    EXPECT_EQ(partNames().size(), 3u);
    EXPECT_EQ(observer.statuses,
              (std::vector<std::string>{"正在分割中【novel.Txt 】,请稍候!",
                                        "【novel.Txt 】已经被分割成了“3”个文件,每个文件“0”KB"}));
    EXPECT_EQ(observer.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_TRUE(observer.messages.empty());
}

TEST_F(SplitRunTest, SizeTestIsStrictlyGreaterAndCountsTheNextLineWithoutTerminator) {
    // Part 1 holds 998 + 2 = 1000 bytes; a 24-character line still fits (1024).
    const std::string first(998, 'x');
    const std::string fits(24, 'y');
    const std::string source = in.write("novel.txt", first + "\r\n" + fits + "\r\nz\r\n");
    runSplit(bySize(source, "1"), observer);
    EXPECT_EQ(part(1), first + "\r\n" + fits + "\r\n");
    EXPECT_EQ(part(2), "z\r\n");

    const std::string tooLong(25, 'y');
    const std::string source2 = in.write("novel.txt", first + "\r\n" + tooLong + "\r\n");
    runSplit(bySize(source2, "1"), observer);
    EXPECT_EQ(part(1), first + "\r\n");
    EXPECT_EQ(part(2), tooLong + "\r\n");
}

TEST_F(SplitRunTest, GbkLinesAreMeasuredInCharacters) {
    // 500 two-byte characters are 1000 bytes but count 500 against the limit.
    std::string wide;
    for (int i = 0; i < 500; ++i) wide += "\xC4\xE3";
    const std::string first(998, 'x');
    const std::string source = in.write("novel.txt", first + "\r\n" + wide + "\r\n");
    runSplit(bySize(source, "1.5"), observer);  // 1536: 1000 + 500 fits
    EXPECT_EQ(partNames().size(), 1u);
    EXPECT_EQ(part(1), first + "\r\n" + wide + "\r\n");
}

TEST_F(SplitRunTest, LinesEndAtCrLfCrOrLfAndAlwaysLeaveAsCrLf) {
    // LF CR is two line ends, with an empty line between them.
    const std::string source = in.write("novel.txt", "one\rtwo\r\nthree\nfour\n\rfive\r\rlast");
    runSplit(bySize(source, "100"), observer);
    EXPECT_EQ(part(1), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nfive\r\n\r\nlast\r\n");
}

TEST_F(SplitRunTest, LineFeedsAloneEndLines) {
    const std::string source = in.write("novel.txt", "a\nb\nc\n");
    runSplit(bySize(source, "0"), observer);
    EXPECT_EQ(partNames().size(), 3u);
    EXPECT_EQ(part(1), "a\r\n");
    EXPECT_EQ(part(3), "c\r\n");
    // A novel with LF ends is cut by size like any other.
    std::string novel;
    for (int i = 0; i < 1000; ++i) novel += std::string(99, 'x') + "\n";
    runSplit(bySize(in.write("novel.txt", novel), "10"), observer);
    EXPECT_EQ(partNames().size(), 10u);
    EXPECT_EQ(part(1), [] {
        std::string lines;
        for (int i = 0; i < 101; ++i) lines += std::string(99, 'x') + "\r\n";
        return lines;
    }());
}

TEST_F(SplitRunTest, EveryByteOfTheLineIsKept) {
    // Bytes no code page maps, NULs and a stray lead byte all pass unchanged.
    const std::string odd("\x80\xFF\x00\xC4 \xA1\xA1\x7F", 8);
    const std::string source = in.write("novel.txt", odd + "\r\n" + odd);
    runSplit(bySize(source, "100"), observer);
    EXPECT_EQ(part(1), odd + "\r\n" + odd + "\r\n");
}

TEST_F(SplitRunTest, FirstLineLongerThanTheLimitMakesItsOwnPart) {
    const std::string longLine(3000, 'q');
    const std::string source = in.write("novel.txt", longLine + "\r\nshort\r\nshort\r\n");
    runSplit(bySize(source, "1"), observer);
    EXPECT_EQ(part(1), longLine + "\r\n");
    EXPECT_EQ(part(2), "short\r\nshort\r\n");
}

TEST_F(SplitRunTest, EmptySourceOrMarkAloneMakesNoPart) {
    for (const char* content : {"", "\xEF\xBB\xBF", "\xFF\xFE"}) {
        RecordingObserver fresh;
        const std::string source = in.write("novel.txt", content);
        const SplitOutcome outcome = runSplit(bySize(source, "100"), fresh);
        EXPECT_EQ(outcome.result, SplitOutcome::Result::Empty);
        EXPECT_EQ(fresh.statuses.back(), "【novel.Txt 】是空文件,没有生成分割文件");
        EXPECT_EQ(fresh.busyChanges, (std::vector<bool>{true, false}));
        EXPECT_TRUE(partNames().empty());
    }
}

TEST_F(SplitRunTest, ByCountUsesFileSizeOverCountAndReportsKilobytes) {
    std::string content;
    for (int i = 0; i < 100; ++i)
        content += std::string(98, static_cast<char>('a' + i % 26)) + "\r\n";  // 10000 bytes
    const std::string source = in.write("novel.txt", content);
    runSplit(byCount(source, "4"), observer);  // 2500 bytes a part: 25 lines each
    EXPECT_EQ(partNames().size(), 4u);
    EXPECT_EQ(part(1).size(), 2500u);
    EXPECT_EQ(observer.statuses.back(), "【novel.Txt 】已经被分割成了“4”个文件,每个文件“2”KB");
}

// Lines that end a little past each part's share would leave a scrap for a
// part N+1: part N takes it; a fraction asks for the whole part above it.
TEST_F(SplitRunTest, ByCountMakesNoMorePartsThanAskedFor) {
    std::string content;
    for (int i = 0; i < 90; ++i) content += std::string(100, 'a') + "\r\n";  // 9180 bytes
    content += "   \r\n";                                                     // and a scrap
    const std::string source = in.write("novel.txt", content);
    for (const auto& [count, parts] : {std::pair{"2", 2u}, {"10", 10u}, {"2.5", 3u}, {"0.4", 1u}}) {
        for (const std::string& name : partNames()) std::remove(out.file(name).c_str());
        const SplitOutcome outcome = runSplit(byCount(source, count), observer);
        EXPECT_EQ(outcome.parts, parts) << count;
        EXPECT_EQ(partNames().size(), parts) << count;
        std::string joined;
        for (unsigned n = 1; n <= parts; ++n) joined += part(static_cast<int>(n));
        EXPECT_EQ(joined, content) << count;
    }
}

TEST_F(SplitRunTest, SummaryRepeatsTheSizeTextUnchanged) {
    const std::string source = in.write("novel.txt", "a\r\n");
    runSplit(bySize(source, " 100"), observer);
    EXPECT_EQ(observer.statuses.back(), "【novel.Txt 】已经被分割成了“1”个文件,每个文件“ 100”KB");
}

// However a run is asked for, its source is opened once (and its encoding
// told once): the checks hand the open file on to the run and its passes.
TEST_F(SplitRunTest, ARunOpensItsSourceOnce) {
    std::string text = "序\r\n";
    for (int n = 1; n <= 6; ++n)
        text += "第" + std::to_string(n) + "章 风起\r\n" + std::string(900, 'a') + "\r\n";
    const std::string source = in.write("novel.txt", text);
    struct Case {
        SplitMode mode;
        const char* number;
        bool pad, titles, toUtf8;
    };
    for (const Case& c : {Case{SplitMode::BySize, "1", true, false, false},
                          Case{SplitMode::ByCount, "3", false, false, true},
                          Case{SplitMode::ByMaxSize, "2", true, false, true},
                          Case{SplitMode::ByChapters, "2", true, true, true},
                          Case{SplitMode::BySizeAtChapters, "2", false, true, false}}) {
        SplitRequest request = bySize(source, c.number);
        request.mode = c.mode;
        request.pad = c.pad;
        request.titleNames = c.titles;
        request.toUtf8 = c.toUtf8;
        const std::uint64_t before = NativeFile::openedForReading();
        const SplitCheck check = checkSplitRequest(request);
        ASSERT_TRUE(check.plan) << check.message;
        estimatePartCount(*check.plan);  // what the window asks before it starts
        EXPECT_EQ(executeSplit(*check.plan).result, SplitOutcome::Result::Done);
        EXPECT_EQ(NativeFile::openedForReading() - before, 1u) << static_cast<int>(c.mode);
        for (const std::string& name : out.list()) std::remove(out.file(name).c_str());
    }
}

TEST_F(SplitRunTest, EmptyBaseNameGivesUnderscoreNames) {
    const std::string source = in.write(".txt", "a\rb\r");
    SplitRequest request = bySize(source, "0");
    request.baseName = "";
    runSplit(request, observer);
    EXPECT_EQ(out.list(), (std::vector<std::string>{"_1.txt", "_2.txt"}));
}

TEST_F(SplitRunTest, OldPartsAreReplacedAndHigherOnesLeftAlone) {
    out.write("novel_1.txt", "old one, much longer than the new part");
    out.write("novel_5.txt", "old five");
    const std::string source = in.write("novel.txt", "new\r\n");
    runSplit(bySize(source, "100"), observer);
    EXPECT_EQ(part(1), "new\r\n");
    EXPECT_EQ(part(5), "old five");
}

TEST_F(SplitRunTest, ByteOrderMarkOpensEveryPartAndCountsAsWritten) {
    const std::string bom = "\xEF\xBB\xBF";
    // UTF-8: 你好 is 6 bytes, 2 characters.
    const std::string line = "\xE4\xBD\xA0\xE5\xA5\xBD";
    const std::string source = in.write("novel.txt", bom + line + "\r\n" + line + "\r\n" + line);
    // Limit 11: BOM 3 + 8 = 11; the next line's 2 characters overflow it.
    SplitRequest request = bySize(source, "0.0107421875");  // exactly 11 bytes
    runSplit(request, observer);
    EXPECT_EQ(part(1), bom + line + "\r\n");
    EXPECT_EQ(part(2), bom + line + "\r\n");
    EXPECT_EQ(part(3), bom + line + "\r\n");
}

TEST_F(SplitRunTest, Utf16LittleEndianLinesEndAtCodeUnits) {
    using namespace std::string_literals;
    const std::string bom = "\xFF\xFE";
    // "ab" CR LF "c" LF "d" CR, then 不 (U+4E0D), whose 0D byte ends nothing.
    const std::string text = bom + "a\0b\0\r\0\n\0c\0\n\0d\0\r\0\x0D\x4E"s;
    const std::string source = in.write("novel.txt", text);
    runSplit(bySize(source, "0"), observer);
    EXPECT_EQ(part(1), bom + "a\0b\0\r\0\n\0"s);
    EXPECT_EQ(part(2), bom + "c\0\r\0\n\0"s);
    EXPECT_EQ(part(3), bom + "d\0\r\0\n\0"s);
    EXPECT_EQ(part(4), bom + "\x0D\x4E\r\0\n\0"s);
}

TEST_F(SplitRunTest, Utf16BigEndianWithOddTrailingByte) {
    using namespace std::string_literals;
    const std::string bom = "\xFE\xFF";
    const std::string text = bom + "\0a\0\r\0b\0\r\0\nz"s;
    const std::string source = in.write("novel.txt", text);
    runSplit(bySize(source, "0"), observer);
    EXPECT_EQ(part(1), bom + "\0a\0\r\0\n"s);
    EXPECT_EQ(part(2), bom + "\0b\0\r\0\n"s);
    EXPECT_EQ(part(3), bom + "z\0\r\0\n"s);  // the odd byte is a line of its own
}

// The source under a part's name, itself or through a link: refused before
// any part, old or new, is touched.
TEST_F(SplitRunTest, SourceAmongThePartNamesIsRefusedBeforeAnythingChanges) {
    const std::string original = "a\r\nb\r\nc\r\n";
    const std::string inFolder = out.write("novel_2.txt", original);
    const std::string elsewhere = in.write("novel.txt", original);
    std::vector<std::pair<std::string, std::string>> cases = {{inFolder, "novel_2.txt"}};
#ifndef _WIN32
    ASSERT_EQ(::symlink(elsewhere.c_str(), out.file("novel_3.txt").c_str()), 0);
    ASSERT_EQ(::link(elsewhere.c_str(), out.file("novel_4.txt").c_str()), 0);
    cases.emplace_back(elsewhere, "novel_3.txt");  // the first of its two names
#endif
    for (const auto& [source, name] : cases) {
        out.write("novel_1.txt", "OLD");
        RecordingObserver shown;
        const SplitOutcome outcome = runSplit(bySize(source, "0"), shown);
        EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
        EXPECT_EQ(outcome.parts, 0u);
        EXPECT_EQ(readFile(source), original);
        EXPECT_EQ(part(1), "OLD");
        EXPECT_EQ(shown.messages, std::vector<std::string>{"分割文件“" + out.file(name) +
                                                           "”就是要分割的文件本身,不能覆盖。"});
        EXPECT_EQ(shown.statuses.back(), "") << "the status line stays as it was";
        for (const std::string& entry : out.list()) EXPECT_NE(entry[0], '.') << entry;
    }
}

TEST_F(SplitRunTest, FolderInThePlaceOfAPartStopsTheRun) {
    out.makeDir("novel_2.txt");
    const std::string source = in.write("novel.txt", "a\r\nb\r\nc\r\n");
    const SplitOutcome outcome = runSplit(bySize(source, "0"), observer);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(part(1), "a\r\n");
    EXPECT_FALSE(test::exists(out.file("novel_3.txt")));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0],
              "无法创建文件“" + out.file("novel_2.txt") + "”：这是一个文件夹");
    EXPECT_EQ(observer.busyChanges, (std::vector<bool>{true, false}));
}

// Found before the work, not at part 10 after nine parts and a hidden batch.
TEST_F(SplitRunTest, NameLongerThanTheFileSystemAllowsIsReportedBeforeAnyPart) {
    std::string lines;
    for (int i = 0; i < 150; ++i) lines += "line\r\n";
    const std::string source = in.write("novel.txt", lines);
    for (const std::size_t length : {std::size_t{300}, std::size_t{246}}) {
        SplitRequest request = bySize(source, "0");
        request.baseName = std::string(length, 'n');
        RecordingObserver shown;
        const SplitOutcome outcome = runSplit(request, shown);
        EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
        ASSERT_EQ(shown.messages.size(), 1u);
        EXPECT_NE(shown.messages[0].find("文件名太长"), std::string::npos) << shown.messages[0];
        EXPECT_TRUE(partNames().empty());
    }
}

#ifndef _WIN32
// The file-size limit binds root too: writes past it fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Also in UTF-8, where each part's end is written on a thread of its own
// while the next part is made: the failure is learned a part later, and
// still names the part that failed and leaves it unnamed.
TEST_F(SplitRunTest, FileSizeLimitMidPartFailsAndRemovesTheIncompletePart) {
    // Two parts of 102 lines (5100 bytes) fit under the limit; the third part
    // is one 7000-byte line, which the limit cuts off.
    std::string content;
    for (int i = 0; i < 204; ++i) content += std::string(48, 'k') + "\r\n";
    content += std::string(7000, 'L') + "\r\n" + "tail\r\n";
    const std::string source = in.write("novel.txt", content);
    for (const bool toUtf8 : {false, true}) {
        SCOPED_TRACE(toUtf8);
        for (const std::string& name : out.list()) std::remove(out.file(name).c_str());
        observer = {};
        SplitRequest request = bySize(source, "5");
        request.toUtf8 = toUtf8;
        SplitOutcome outcome;
        {
            FileSizeLimit limit(6000);
            outcome = runSplit(request, observer);
        }
        const std::uint64_t mark = toUtf8 ? 3 : 0;
        EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
        EXPECT_EQ(outcome.parts, 2u);
        EXPECT_EQ(part(1).size(), 5100u + mark);
        EXPECT_EQ(part(2).size(), 5100u + mark);
        EXPECT_EQ(out.list(), (std::vector<std::string>{"novel_1.txt", "novel_2.txt"}));
        ASSERT_EQ(observer.messages.size(), 1u);
        EXPECT_EQ(observer.messages[0],
                  "无法写入文件“" + out.file("novel_3.txt") + "”：文件超过了允许的最大大小");
        EXPECT_EQ(observer.statuses.back(), "【novel.Txt 】分割中断,已完成“2”个文件");
    }
    EXPECT_EQ(readFile(source), content);
}

// Parts are made while those before them are still being written: a part
// that fails takes with it every part finished after it, named or hidden.
TEST_F(SplitRunTest, PartsFinishedAfterOneThatFailedAreNotKept) {
    std::string content;
    for (int i = 1; i <= 100; ++i) {
        content += (i == 50 ? std::string(7000, 'L') : std::string(98, 'k')) + "\r\n";
    }
    const std::string source = in.write("novel.txt", content);
    SplitOutcome outcome;
    {
        FileSizeLimit limit(6000);
        outcome = runSplit(bySize(source, "0"), observer);
    }
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.parts, 49u);
    const std::vector<std::string> names = out.list();
    ASSERT_EQ(names.size(), 49u);  // no hidden part left either
    EXPECT_EQ(names.back(), "novel_9.txt");
    EXPECT_EQ(part(49), std::string(98, 'k') + "\r\n");
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0],
              "无法写入文件“" + out.file("novel_50.txt") + "”：文件超过了允许的最大大小");
}

#endif

}  // namespace
}  // namespace tovane
