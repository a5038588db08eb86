// Names that sort and names that carry the chapter: their widths, their
// titles in every encoding a book comes in, and everything that knows a
// part's name knowing them too.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "split/io/run_lock.h"
#include "split/parts/part_names.h"
#include "split/split_run.h"
#include "split/split_texts.h"
#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::TempDir;

class PartNamingTest : public ::testing::Test {
protected:
    SplitOutcome split(const std::string& bytes, SplitMode mode, bool titled = false) {
        plan.sourcePath = in.write("book.txt", bytes);
        plan.saveFolder = out.path();
        plan.baseName = "book";
        plan.mode = mode;
        plan.byteLimit = 20;
        plan.perPart = 1;
        plan.pad = true;
        plan.titleNames = titled;
        return executeSplit(plan, {}, nullptr);
    }
    // The parts' names, in the order a file list sorts them.
    std::vector<std::string> names() const { return out.list(); }

    TempDir in;
    TempDir out;
    SplitPlan plan;
};

std::string chapters(int count) {
    std::string book;
    for (int n = 1; n <= count; ++n) book += "第" + std::to_string(n) + "章 风\r\n正文。\r\n";
    return book;
}

// Each line alone fills a part of 20 bytes.
std::string lines(int count) {
    std::string book;
    for (int n = 0; n < count; ++n) book += std::string(18, 'x') + "\r\n";
    return book;
}

TEST_F(PartNamingTest, NumbersArePaddedToTheWidthOfTheLastOne) {
    struct Case {
        int parts;
        const char* first;
        const char* last;
    };
    for (const Case& c :
         {Case{9, "book_1.txt", "book_9.txt"}, Case{10, "book_01.txt", "book_10.txt"},
          Case{99, "book_01.txt", "book_99.txt"}, Case{100, "book_001.txt", "book_100.txt"},
          Case{1000, "book_0001.txt", "book_1000.txt"}}) {
        for (SplitMode mode : {SplitMode::BySize, SplitMode::ByChapters}) {
            const TempDir fresh;
            plan = {};
            plan.saveFolder = fresh.path();
            plan.sourcePath = in.write(
                "book.txt", mode == SplitMode::BySize ? lines(c.parts) : chapters(c.parts));
            plan.baseName = "book";
            plan.mode = mode;
            plan.byteLimit = 20;
            plan.perPart = 1;
            plan.pad = true;
            const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
            ASSERT_EQ(outcome.parts, static_cast<std::uint64_t>(c.parts)) << c.parts;
            const std::vector<std::string> made = fresh.list();
            ASSERT_EQ(made.size(), static_cast<std::size_t>(c.parts));
            EXPECT_EQ(made.front(), c.first);
            EXPECT_EQ(made.back(), c.last);
        }
    }
}

// The same book's headings in each encoding make the same names: what
// Windows refuses in a name in full width, blanks and controls one blank,
// decoration off; part 1, which opens before any heading, takes the number
// alone, and equal titles keep apart by their numbers.
TEST_F(PartNamingTest, TitlesAreFitForEverySystemInEveryEncoding) {
    const std::string book =
        "书名\n作者\n第1章 起\n正文\n"
        "第2章 a\\b/c:d*e?f\"g<h>i|j\n正文\n"
        "【第3章　 风\t雨】\n正文\n"
        "第4章 重逢\n正文\n"
        "第5章 重逢\n正文\n";
    std::vector<std::string> expected = {
        "book_1.txt", "book_2 第2章 a＼b／c：d＊e？f＂g＜h＞i｜j.txt", "book_3 第3章 风 雨.txt",
        "book_4 第4章 重逢.txt", "book_5 第5章 重逢.txt"};
    std::sort(expected.begin(), expected.end());
    for (SourceFormat encoding :
         {SourceFormat{Encoding::Gbk, false}, SourceFormat{Encoding::Utf8, true},
          SourceFormat{Encoding::Utf16Le, true}, SourceFormat{Encoding::Utf16Be, true}}) {
        const TempDir fresh;
        plan.saveFolder = fresh.path();
        plan.sourcePath =
            in.write("book.txt", std::string(encoding.mark()) + test::encode(book, encoding));
        plan.baseName = "book";
        plan.mode = SplitMode::ByChapters;
        plan.perPart = 1;
        plan.titleNames = true;
        plan.pad = true;
        const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
        ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
        EXPECT_EQ(fresh.list(), expected) << encoding.codec().name();
    }
}

// A title is 40 characters at most, and shorter still where a name (with
// its hidden form) would pass 255 bytes, cut between characters.
TEST_F(PartNamingTest, LongTitlesAreCutBetweenCharacters) {
    std::string heading = "【第3章 ";
    std::string forty = "第3章 ";
    for (int i = 0; i < 200; ++i) heading += "长";
    for (int i = 0; i < 36; ++i) forty += "长";
    EXPECT_EQ(titleForName(heading + "】"), forty);

    plan.sourcePath = in.write("book.txt", "第1章 起\n正文\n第2章 " + forty.substr(8) + "\n正文\n");
    plan.saveFolder = out.path();
    plan.baseName = std::string(200, 'n');
    plan.mode = SplitMode::ByChapters;
    plan.perPart = 1;
    plan.titleNames = true;
    plan.pad = true;
    const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
    ASSERT_EQ(outcome.parts, 2u) << outcome.message;
    const std::string second = names().back();
    const std::string title = second.substr(plan.baseName.size() + 3, second.size() - 4 - 203);
    EXPECT_EQ(("第2章 " + forty.substr(8)).rfind(title, 0), 0u) << second;
    EXPECT_GT(title.size(), 6u);
    // 255 bytes of UTF-8 on every system: a phone's file system counts bytes.
    EXPECT_LE(temporaryPartName(second, "abcdef").size(), 255u);
    EXPECT_GT(temporaryPartName(second, "abcdef").size() + 3, 255u);
}

// A padded or titled run and a plain one into the same folder: the other's
// parts are reported as old ones and stay; a hidden leftover of any form is
// cleared; a source under any form of part name is refused.
TEST_F(PartNamingTest, EveryFormIsKnownAsAPartName) {
    const std::string book = chapters(3);
    ASSERT_EQ(split(book, SplitMode::ByChapters, true).parts, 3u);
    ASSERT_TRUE(test::exists(out.file("book_1 第1章 风.txt")));
    plan.pad = false;
    plan.titleNames = false;
    const SplitOutcome plain = executeSplit(plan, {}, nullptr);
    EXPECT_EQ(plain.message, texts::partsLeftFromBefore("book_1 第1章 风.txt", 3));
    EXPECT_EQ(names().size(), 6u);

    const std::string leftover = out.write(".book_07 第7章 雪.txt.tovane-a1b2c3", "half");
    const std::string otherBase = out.write(".book_1 x_2.txt.tovane-a1b2c3", "another run's");
    out.write(RunLock::fileName("book_1 x"), "");
    split(book, SplitMode::ByChapters, true);
    EXPECT_FALSE(test::exists(leftover));
    EXPECT_TRUE(test::exists(otherBase)) << "a run of base name \"book_1 x\" may be writing it";

    const TempDir folder;
    plan.sourcePath = folder.write("book_02 第二章.txt", book);
    plan.saveFolder = folder.path();
    const SplitOutcome refused = executeSplit(plan, {}, nullptr);
    EXPECT_EQ(refused.message, texts::partIsSource(folder.file("book_02 第二章.txt")));
    EXPECT_EQ(folder.list(), std::vector<std::string>{"book_02 第二章.txt"});
}

}  // namespace
}  // namespace tovane
