// A part a volume (or N): what comes before the first volume goes with it,
// every part after opens with a volume's heading, and a book without one
// makes no part.
#include <gtest/gtest.h>

#include <string>

#include "split/split_run.h"
#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::TempDir;

class VolumesWayTest : public ::testing::Test {
protected:
    SplitOutcome split(const std::string& text, const char* volumes) {
        SplitRequest request;
        request.sourcePath = in.write("book.txt", test::encode(text, Encoding::Gbk));
        request.saveFolder = out.path();
        request.baseName = "book";
        request.mode = SplitMode::ByVolumes;
        request.numberText = volumes;
        const SplitCheck check = checkSplitRequest(request);
        if (!check.plan) {
            SplitOutcome refused;
            refused.result = SplitOutcome::Result::CheckFailed;
            refused.problem = check.problem;
            return refused;
        }
        return executeSplit(*check.plan);
    }
    std::string part(int n) const {
        return test::readFile(out.file("book_" + std::to_string(n) + ".txt"));
    }

    TempDir in;
    TempDir out;
};

// A prologue's chapters, then three volumes of two chapters each.
std::string book() {
    std::string text = "青云记\r\n\r\n楔子\r\n　　很久以前。\r\n";
    for (int v = 1; v <= 3; ++v) {
        text += "第" + std::to_string(v) + "卷 山河\r\n";
        for (int n = 1; n <= 2; ++n) text += "第" + std::to_string(n) + "章 风起\r\n　　雨。\r\n";
    }
    return text;
}

TEST_F(VolumesWayTest, EachPartOpensWithAVolume) {
    const SplitOutcome outcome = split(book(), "1");
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    EXPECT_EQ(outcome.parts, 3u);
    EXPECT_EQ(outcome.status, "【book.Txt 】已经被分割成了“3”个文件,每个文件“1”卷");
    EXPECT_EQ(part(1).rfind(test::encode("青云记\r\n\r\n楔子", Encoding::Gbk), 0), 0u);
    EXPECT_EQ(part(2).rfind(test::encode("第2卷 山河\r\n", Encoding::Gbk), 0), 0u);
    EXPECT_EQ(part(1) + part(2) + part(3), test::encode(book(), Encoding::Gbk));
    EXPECT_EQ(split(book(), "2").parts, 2u);
}

TEST_F(VolumesWayTest, ABookWithoutVolumesOrAWrongNumberIsRefused) {
    const SplitOutcome none = split("第1章 风起\r\n　　雨。\r\n第2章 雪落\r\n　　风。\r\n", "1");
    EXPECT_EQ(none.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(none.problem.kind, Problem::Kind::NoVolumes);
    EXPECT_TRUE(out.list().empty());
    for (const char* wrong : {"0", "1.5", ""}) {
        EXPECT_EQ(split(book(), wrong).problem.kind, Problem::Kind::BadVolumes) << wrong;
    }
}

}  // namespace
}  // namespace tovane
