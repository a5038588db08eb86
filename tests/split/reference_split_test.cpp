// The streaming splitter against a deliberately simple one that holds the
// whole file in memory, on many generated files and small buffer sizes, so
// that every way a line, a terminator or a character can straddle two reads
// is met.
#include "support/reference_split.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "split/chapters/chapter_map.h"
#include "split/split_run.h"
#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

std::string randomText(std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 99);
    const int kind = pick(rng) % 5;
    std::string data;
    if (kind == 1) data = "\xEF\xBB\xBF";
    if (kind == 2) data = "\xFF\xFE";
    if (kind == 3) data = "\xFE\xFF";
    const bool wide = kind == 2 || kind == 3;
    const int roll = pick(rng);
    const int length = roll < 10 ? pick(rng) * 40 : roll < 20 ? pick(rng) * 150 : pick(rng) * 3;
    for (int i = 0; i < length; ++i) {
        const int what = pick(rng);
        std::string piece;
        if (what < 8) {
            piece = "\r";
        } else if (what < 16) {
            piece = "\r\n";
        } else if (what < 20) {
            piece = "\n";
        } else if (what < 45) {
            piece = "\xC4\xE3";  // a GBK pair
        } else if (what < 55) {
            piece = "\xE4\xBD\xA0";  // a UTF-8 character
        } else if (what < 58) {
            piece = std::string(static_cast<std::size_t>(pick(rng) * 3), 'L');  // a long run
        } else if (what < 62) {
            piece = std::string(1, static_cast<char>(0x80 + pick(rng)));  // a stray high byte
        } else {
            piece = std::string(1, static_cast<char>('a' + what % 26));
        }
        if (wide && (piece == "\r" || piece == "\r\n" || piece == "\n")) {
            std::string units;
            for (char c : piece) units += kind == 2 ? std::string{c, '\0'} : std::string{'\0', c};
            piece = units;
        }
        data += piece;
    }
    if (wide && pick(rng) < 20) data += 'z';  // an odd trailing byte
    return data;
}

// The parts in `dir`'s `folder` are `expected`, and nothing else is there.
void expectParts(const test::TempDir& dir, const std::string& folder,
                 const std::vector<std::string>& expected, const std::string& context) {
    for (std::size_t n = 0; n < expected.size(); ++n) {
        ASSERT_EQ(test::readFile(dir.file(folder) + "/p_" + std::to_string(n + 1) + ".txt"),
                  expected[n])
            << context << " part " << n + 1;
    }
    ASSERT_EQ(dir.list(folder).size(), expected.size()) << context;
}

TEST(ReferenceSplit, StreamingSplitMatchesTheSimpleOneOnGeneratedFiles) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> limitPick(0, 400);
    // Small buffers, so that every boundary is met.
    const RunOptions modes[] = {{16}, {18}, {34}, {4096}};
    // Under Wine every file and thread costs a lot more; fewer rounds there.
#ifdef _WIN32
    constexpr int kRounds = 40;
#else
    constexpr int kRounds = 300;
#endif
    for (int round = 0; round < kRounds; ++round) {
        test::TempDir dir;
        const std::string data = randomText(rng);
        const std::string source = dir.write("source.bin", data);
        const std::uint64_t limit = static_cast<std::uint64_t>(limitPick(rng));
        const std::vector<std::string> expected = test::referenceSplit(data, limit);
        for (std::size_t m = 0; m < std::size(modes); ++m) {
            const std::string out = dir.makeDir("out" + std::to_string(m));
            SplitPlan plan;
            plan.sourcePath = source;
            plan.saveFolder = out;
            plan.baseName = "p";
            plan.byteLimit = limit;
            const SplitOutcome outcome = executeSplit(plan, {}, nullptr, modes[m]);
            ASSERT_TRUE(outcome.result == SplitOutcome::Result::Done ||
                        outcome.result == SplitOutcome::Result::Empty)
                << outcome.message;
            ASSERT_EQ(outcome.parts, expected.size())
                << "round " << round << " mode " << m << " limit " << limit;
            expectParts(dir, "out" + std::to_string(m), expected,
                        "round " + std::to_string(round) + " mode " + std::to_string(m));
        }
    }
}

TEST(ReferenceSplit, StrictCapMatchesTheSimpleOneOnGeneratedFiles) {
    std::mt19937 rng(20261208);
#ifdef _WIN32
    constexpr int kRounds = 15;
#else
    constexpr int kRounds = 40;
#endif
    for (int round = 0; round < kRounds; ++round) {
        test::TempDir dir;
        const std::string data = randomText(rng);
        SplitPlan plan;
        plan.sourcePath = dir.write("source.bin", data);
        plan.baseName = "p";
        plan.mode = SplitMode::ByMaxSize;
        plan.byteLimit = 10 + rng() % 300;  // any encoding's smallest cap and up
        const std::vector<std::string> expected = test::referenceMaxSizeSplit(data, plan.byteLimit);
        for (const std::size_t buffer : {std::size_t{16}, std::size_t{34}}) {
            const std::string folder = "out" + std::to_string(buffer);
            plan.saveFolder = dir.makeDir(folder);
            const SplitOutcome outcome = executeSplit(plan, {}, nullptr, {buffer});
            ASSERT_EQ(outcome.parts, expected.size())
                << "round " << round << " " << outcome.message;
            expectParts(dir, folder, expected,
                        "round " + std::to_string(round) + " buffer " + std::to_string(buffer));
        }
    }
}

// A novel in UTF-8 with headings of every form among its paragraphs, some
// headings that are not, and line ends of every kind.
std::string randomNovel(std::mt19937& rng, int paragraphs, int longest, int headingPercent) {
    static const char* const headings[] = {"第一章 风起", "第１２回",   "\u3000第三百零二节",
                                           "序章",        "楔子：缘起", "Chapter 9",
                                           "番外2",       "第两千卷"};
    static const char* const lookalikes[] = {"他翻到第三章的时候", "第一天", "后来", "Chapters 3"};
    static const char* const ends[] = {"\r\n", "\n", "\r", "\r\n", "\n"};
    std::uniform_int_distribution<int> pick(0, 99);
    std::string text;
    for (int i = 0; i < paragraphs; ++i) {
        const int roll = pick(rng);
        if (roll < headingPercent) {
            text += headings[pick(rng) % 8];
        } else if (roll < headingPercent + 3) {
            text += lookalikes[pick(rng) % 4];
        } else {
            const int length = std::uniform_int_distribution<int>(0, longest)(rng);
            for (int k = 0; k < length; ++k) text += pick(rng) < 80 ? "说" : "a";
        }
        text += ends[pick(rng) % 5];
    }
    return text;
}

TEST(ReferenceSplit, ChapterSplitsMatchTheSimpleOneInEveryEncoding) {
    std::mt19937 rng(20261208);
    const Encoding encodings[] = {Encoding::Gbk, Encoding::Utf8, Encoding::Utf16Le,
                                  Encoding::Utf16Be};
    for (int round = 0; round < 48; ++round) {
        const Encoding encoding = encodings[round % 4];
        // Some novels have chapters longer than the stretch a chapter is
        // looked over in at a time (64 KiB).
        const bool big = round % 8 == 7;
        std::string data =
            test::encode(randomNovel(rng, big ? 400 : 60, big ? 800 : 60, big ? 1 : 6), encoding);
        if (encoding == Encoding::Utf16Le) data = "\xFF\xFE" + data;
        if (encoding == Encoding::Utf16Be) data = "\xFE\xFF" + data;
        test::TempDir dir;
        SplitPlan plan;
        plan.sourcePath = dir.write("novel.txt", data);
        plan.baseName = "p";
        const bool byCount = round % 2 == 0;
        plan.mode = byCount ? SplitMode::ByChapters : SplitMode::BySizeAtChapters;
        plan.perPart = 1 + static_cast<std::uint64_t>(round % 3);
        plan.byteLimit = big ? 150000 : static_cast<std::uint64_t>(rng() % 600);
        // The headings as the chapter list finds them; how they are found is
        // the heading rule's own test.
        std::vector<std::uint64_t> headingLines;
        const ChapterList chapters = findChapters(plan.sourcePath, nullptr, {false, true});
        for (const ChapterBlock& block : chapters.map->blocks) {
            headingLines.push_back(block.line);
        }
        // Every other round the split takes the chapters found before, as the
        // window hands them over, and the estimate is exact from them.
        if (round % 4 < 2) plan.chapters = chapters.map;
        const std::vector<std::string> expected = test::referenceChapterSplit(
            data, plan.mode, plan.byteLimit, plan.perPart, headingLines);
        for (const std::size_t buffer : {std::size_t{64}, std::size_t{1} << 20}) {
            plan.saveFolder = dir.makeDir("out" + std::to_string(buffer));
            const SplitOutcome outcome = executeSplit(plan, {}, nullptr, {buffer});
            ASSERT_EQ(outcome.parts, expected.size())
                << "round " << round << " " << outcome.message;
            if (plan.chapters) {
                ASSERT_EQ(estimatePartCount(plan), expected.size()) << "round " << round;
            }
            for (std::size_t n = 0; n < expected.size(); ++n) {
                ASSERT_EQ(test::readFile(plan.saveFolder + "p_" + std::to_string(n + 1) + ".txt"),
                          expected[n])
                    << "round " << round << " buffer " << buffer << " part " << n + 1;
            }
        }
    }
}

}  // namespace
}  // namespace tovane
