// Buffer boundaries, progress and stopping, with buffers small enough that
// lines and terminators straddle reads.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "split/split_run.h"
#include "split/split_texts.h"
#include "support/reference_split.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

class LineSplitterTest : public ::testing::Test {
protected:
    SplitOutcome split(const std::string& content, std::uint64_t limit, std::size_t bufferSize,
                       ProgressCallback progress = {}, const std::atomic<bool>* stop = nullptr) {
        plan.sourcePath = in.write("source.txt", content);
        plan.saveFolder = out.path();
        plan.baseName = "p";
        plan.byteLimit = limit;
        plan.perPart = 1;
        RunOptions options;
        options.pieceSize = bufferSize;
        return executeSplit(plan, std::move(progress), stop, options);
    }
    std::string part(int n) const {
        return test::readFile(out.file("p_" + std::to_string(n) + ".txt"));
    }

    test::TempDir in;
    test::TempDir out;
    SplitPlan plan;
};

TEST_F(LineSplitterTest, CrLfSplitAcrossTwoReadsIsOneTerminator) {
    // With a 16-byte buffer the CR is the buffer's last byte and its LF the next read's first.
    const std::string content = std::string(15, 'a') + "\r\nb";
    split(content, 0, 16);
    EXPECT_EQ(part(1), std::string(15, 'a') + "\r\n");
    EXPECT_EQ(part(2), "b\r\n");
    EXPECT_EQ(out.list().size(), 2u);
}

// Pieces are looked over for lone CRs as they are read, each on its own; a
// lone CR where one piece meets the next must still be rewritten as CR LF.
TEST_F(LineSplitterTest, LoneCrWherePiecesMeetIsStillRewritten) {
    const std::size_t buffer = 16;
    for (std::size_t shift = 0; shift < 4; ++shift) {
        for (const bool wide : {false, true}) {
            std::string unit = wide ? std::string("a\0", 2) : "a";
            std::string cr = wide ? std::string("\r\0", 2) : "\r";
            std::string lf = wide ? std::string("\n\0", 2) : "\n";
            std::string content = wide ? "\xFF\xFE" : "";
            // CR LF lines, with a lone CR just before every piece boundary.
            while (content.size() < 40 * buffer) {
                const std::size_t toSeam = buffer - (content.size() + shift) % buffer;
                if (toSeam == cr.size()) {
                    content += cr;
                } else if (toSeam > cr.size() + lf.size()) {
                    content += cr + lf;
                }
                content += unit;
            }
            test::TempDir dir;
            plan.saveFolder = dir.path();
            plan.sourcePath = in.write("source.txt", content);
            plan.baseName = "p";
            plan.byteLimit = 1 << 20;
            RunOptions options;
            options.pieceSize = buffer;
            ASSERT_EQ(executeSplit(plan, {}, nullptr, options).result, SplitOutcome::Result::Done);
            EXPECT_EQ(test::readFile(dir.file("p_1.txt")),
                      test::referenceSplit(content, plan.byteLimit).at(0))
                << "shift " << shift << (wide ? " UTF-16" : "");
        }
    }
}

TEST_F(LineSplitterTest, LinesLongerThanTheBufferAreCopiedWhole) {
    std::string longLine;
    for (int i = 0; i < 1000; ++i) longLine += static_cast<char>('a' + i % 26);
    const std::string content = "x\r\n" + longLine + "\r" + longLine + "\r\n" + longLine;
    split(content, 0, 64);
    EXPECT_EQ(part(1), "x\r\n");
    EXPECT_EQ(part(2), longLine + "\r\n");
    EXPECT_EQ(part(3), longLine + "\r\n");
    EXPECT_EQ(part(4), longLine + "\r\n");
}

TEST_F(LineSplitterTest, LongLineThatFitsTheLimitJoinsThePartWhenCounted) {
    // 200 GBK pairs: 400 bytes but 200 characters; joins a part with room for 250.
    std::string wide;
    for (int i = 0; i < 200; ++i) wide += "\xC4\xE3";
    split("ab\r\n" + wide + "\r\n", 254, 32);
    EXPECT_EQ(part(1), "ab\r\n" + wide + "\r\n");
    EXPECT_EQ(out.list().size(), 1u);
}

TEST_F(LineSplitterTest, ProgressEndsAtTheSourceSize) {
    const std::string content(5000, 'z');
    std::uint64_t last = 0;
    std::uint64_t total = 0;
    std::uint64_t lastPart = 0;
    split(content + "\r\n" + content, 100, 256, [&](const SplitProgress& now) {
        EXPECT_GE(now.done, last);
        EXPECT_GE(now.part, lastPart);
        last = now.done;
        lastPart = now.part;
        total = now.total;
    });
    EXPECT_EQ(total, 10002u);
    EXPECT_EQ(last, total);
    EXPECT_EQ(lastPart, 2u);  // the long lines make a part each
}

TEST_F(LineSplitterTest, StopEndsTheRunAndRemovesTheIncompletePart) {
    std::string content;
    for (int i = 0; i < 2000; ++i) content += "line " + std::to_string(i) + "\r\n";
    std::atomic<bool> stop{false};
    int calls = 0;
    const SplitOutcome outcome = split(
        content, 64, 256,
        [&](const SplitProgress&) {
            if (++calls == 20) stop = true;
        },
        &stop);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Stopped);
    EXPECT_GT(outcome.parts, 0u);
    // Every part that stayed is complete; the one being written is gone.
    EXPECT_EQ(out.list().size(), outcome.parts);
    EXPECT_FALSE(test::exists(out.file("p_" + std::to_string(outcome.parts + 1) + ".txt")));
    EXPECT_EQ(texts::statusAfter(outcome, plan),
              "【p.Txt 】分割已取消,已完成“" + std::to_string(outcome.parts) + "”个文件");
}

TEST_F(LineSplitterTest, StopDuringALongLine) {
    const std::string content = "a\r\n" + std::string(100000, 'b') + "\r\n";
    std::atomic<bool> stop{false};
    const SplitOutcome outcome = split(
        content, 0, 1024, [&](const SplitProgress& now) { stop = now.done > 50000; }, &stop);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Stopped);
    EXPECT_EQ(outcome.parts, 1u);
    EXPECT_EQ(out.list(), std::vector<std::string>{"p_1.txt"});
}

TEST_F(LineSplitterTest, HeadingAcrossTheEdgeOfTheLookAheadStillEndsTheChapter) {
    // A chapter is looked over 64 KiB at a time from its heading; the next
    // heading here starts 2 bytes before that edge.
    const std::string preface = "序\r\n";  // 5 bytes, no heading
    std::string first = "第一章\r\n";
    while (first.size() < 65536 - 2 - 100) first += std::string(98, 'a') + "\r\n";
    first += std::string(65536 - 2 - first.size() - 2, 'b') + "\r\n";
    const std::string second = "第二章\r\n" + std::string(70000, 'c') + "\r\n";
    plan.mode = SplitMode::BySizeAtChapters;
    split(preface + first + second, preface.size() + first.size() + 100, 1 << 20);
    EXPECT_EQ(part(1), preface + first);  // the first chapter fits with the preface
    EXPECT_EQ(part(2), second);
}

}  // namespace
}  // namespace tovane
