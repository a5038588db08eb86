// Books as they are found: traditional Chinese in Big5, a UTF-8 book with a
// stray byte, a UTF-16 book without a mark and with a damaged character.
// Each is told for what it is, its chapters read, and never written garbled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "split/chapters/chapter_map.h"
#include "split/split_run.h"
#include "split/split_texts.h"
#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::readFile;
using test::TempDir;

const char* const kNumerals[] = {"一",   "二",   "三",   "四",   "五",   "六",
                                 "七",   "八",   "九",   "十",   "十一", "十二",
                                 "十三", "十四", "十五", "十六", "十七", "十八"};

// A book in traditional characters: a prologue, eighteen chapters and an
// epilogue, in the words and numerals such books use.
std::string traditionalBook() {
    std::string text = "《風雲錄》\r\n作者：某人\r\n\r\n楔子\r\n";
    const std::string paragraph =
        "　　他說這個時候，我們還沒有來到這裡，大家都在看著她，"
        "不知道過了多久，天上的雲慢慢散開，山下的路也亮了起來。\r\n";
    text += paragraph;
    for (const char* n : kNumerals) {
        text += std::string("第") + n + "章 風起雲湧\r\n";
        for (int i = 0; i < 4; ++i) text += paragraph;
    }
    return text + "尾聲\r\n" + paragraph;
}

class FoundBooksTest : public ::testing::Test {
protected:
    SplitOutcome split(const std::string& source, SplitMode mode, const char* number, bool toUtf8,
                       bool titled = false) {
        SplitRequest request;
        request.sourcePath = source;
        request.saveFolder = out.path();
        request.baseName = "book";
        request.mode = mode;
        request.numberText = number;
        request.toUtf8 = toUtf8;
        request.titleNames = titled;
        request.encoding = asked;
        const SplitCheck check = checkSplitRequest(request);
        if (!check.plan) {
            SplitOutcome refused;
            refused.result = SplitOutcome::Result::CheckFailed;
            refused.problem = check.problem;
            return refused;
        }
        return executeSplit(*check.plan);
    }
    std::vector<std::string> headings(const std::string& source) {
        const ChapterList list = findChapters(source, nullptr, {true, false}, nullptr, asked);
        std::vector<std::string> texts;
        if (list.map) {
            for (const Chapter& chapter : list.map->headings) texts.push_back(chapter.text);
        }
        return texts;
    }
    void clear() {
        for (const std::string& name : out.list()) std::remove(out.file(name).c_str());
    }

    TempDir in;
    TempDir out;
    std::optional<Encoding> asked;
};

TEST_F(FoundBooksTest, ABig5BookIsReadAsBig5) {
    const std::string bytes = test::encode(traditionalBook(), Encoding::Big5);
    const std::string source = in.write("book.txt", bytes);
    EXPECT_EQ(detectFormat(bytes), (SourceFormat{Encoding::Big5, false}));
    const std::vector<std::string> found = headings(source);
    ASSERT_EQ(found.size(), 20u);
    EXPECT_EQ(found.front(), "楔子");
    EXPECT_EQ(found[1], "第一章 風起雲湧");
    EXPECT_EQ(found.back(), "尾聲");
    // Titled names in the book's own characters, and UTF-8 as iconv's CP950 makes it.
    const SplitOutcome outcome = split(source, SplitMode::ByChapters, "1", true, true);
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    EXPECT_EQ(outcome.format, (SourceFormat{Encoding::Big5, false}));
    EXPECT_EQ(outcome.parts, 20u);
    std::string joined;
    for (const std::string& name : out.list()) joined += readFile(out.file(name)).substr(3);
    EXPECT_EQ(joined, traditionalBook());
    EXPECT_TRUE(test::exists(out.file("book_02 第一章 風起雲湧.txt")));
    EXPECT_TRUE(test::exists(out.file("book_20 尾聲.txt")));
}

TEST_F(FoundBooksTest, ABig5CodeThatDoesntConvertIsRefusedAtItsLine) {
    std::string bytes = test::encode(traditionalBook(), Encoding::Big5);
    const std::size_t line6 = bytes.find(test::encode("第一章", Encoding::Big5)) + 0;
    bytes.insert(line6 + 2, "\xA4 ");  // a lead before a byte that closes no pair
    const SplitOutcome refused = split(in.write("bad.txt", bytes), SplitMode::BySize, "1", true);
    EXPECT_EQ(refused.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(refused.message, texts::unconvertible(6, line6 + 2));
    EXPECT_TRUE(out.list().empty());
}

// One stray byte in a UTF-8 book leaves it UTF-8: its chapters are found,
// and converting names the stray byte's line.
TEST_F(FoundBooksTest, AUtf8BookWithAStrayByteIsStillUtf8) {
    std::string text = "书名\r\n";
    for (int n = 1; n <= 40; ++n) {
        text += "第" + std::to_string(n) + "章 风起\r\n　　山路弯弯，雨一直下。\r\n";
    }
    const std::size_t line4 = text.find("　　", text.find("第2章"));
    text.insert(line4 + 3, "\xFF");
    const std::string source = in.write("stray.txt", text);
    EXPECT_EQ(detectFormat(text), (SourceFormat{Encoding::Utf8, false}));
    EXPECT_EQ(headings(source).size(), 40u);
    const SplitOutcome refused = split(source, SplitMode::BySize, "1", true);
    EXPECT_EQ(refused.message, texts::unconvertible(5, line4 + 3));
    // Split as it is, the stray byte stays where it was.
    const SplitOutcome kept = split(source, SplitMode::ByChapters, "40", false);
    ASSERT_EQ(kept.result, SplitOutcome::Result::Done) << kept.message;
    EXPECT_EQ(readFile(out.file("book_1.txt")), text);
}

// A UTF-16 book without a mark, with a surrogate out of its pair, is split
// where its units end, never inside one.
TEST_F(FoundBooksTest, AUtf16BookWithALoneSurrogateIsSplitAtItsUnits) {
    std::string text;
    for (int n = 1; n <= 29; ++n) {
        text += "第" + std::to_string(n) + "章 风起\r\n";
        for (int i = 0; i < 8; ++i) text += "　　山路弯弯，雨一直下。😀\r\n";
    }
    std::string bytes = test::encode(text, Encoding::Utf16Le);
    const std::size_t emoji = bytes.find(std::string("\x3D\xD8", 2), bytes.size() / 2);
    bytes.erase(emoji + 2, 2);  // half of the emoji's pair
    const std::string source = in.write("damaged.txt", bytes);
    EXPECT_EQ(detectFormat(bytes), (SourceFormat{Encoding::Utf16Le, false}));
    EXPECT_EQ(headings(source).size(), 29u);
    const SplitOutcome outcome = split(source, SplitMode::BySize, "1", false);
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    ASSERT_GT(outcome.parts, 5u);
    std::string joined;
    for (std::uint64_t n = 1; n <= outcome.parts; ++n) {
        const std::string part = readFile(out.file("book_" + std::to_string(n) + ".txt"));
        EXPECT_EQ(part.size() % 2, 0u) << n;
        // Every part opens with a line's first unit: 第 or the ideographic space.
        const std::string first = part.substr(0, 2);
        EXPECT_TRUE(first == std::string("\x2C\x7B", 2) || first == std::string("\x00\x30", 2))
            << n;
        joined += part;
    }
    EXPECT_EQ(joined, bytes);
}

// The encoding asked for is the one read; a mark of another is wrong usage.
TEST_F(FoundBooksTest, TheEncodingAskedForIsRead) {
    const std::string bytes = test::encode(traditionalBook(), Encoding::Big5);
    const std::string source = in.write("book.txt", bytes);
    asked = Encoding::Gbk;
    EXPECT_NE(headings(source).size(), 20u);  // read as GBK, its headings are gibberish
    const SplitOutcome asGbk = split(source, SplitMode::BySize, "100", false);
    EXPECT_EQ(asGbk.format, (SourceFormat{Encoding::Gbk, false}));
    clear();
    asked = Encoding::Big5;
    EXPECT_EQ(headings(source).size(), 20u);
    const std::string marked = in.write("marked.txt", "\xEF\xBB\xBF" + traditionalBook());
    asked = Encoding::Gbk;
    const SplitOutcome refused = split(marked, SplitMode::BySize, "100", false);
    EXPECT_TRUE(refused.problem.usage());
    EXPECT_EQ(texts::describe(refused.problem),
              "这个文件开头的字节顺序标记表明它是 UTF-8，不能按 GBK 读取。");
    asked = Encoding::Utf8;
    EXPECT_EQ(split(marked, SplitMode::BySize, "100", false).format,
              (SourceFormat{Encoding::Utf8, true}));
}

}  // namespace
}  // namespace tovane
