// The heading rule in every encoding, read from the encoded bytes.
#include "split/chapters/heading_line.h"

#include <gtest/gtest.h>

#include <string>

#include "support/encode.h"

namespace tovane {
namespace {

class ChapterHeadingTest : public ::testing::TestWithParam<Encoding> {
protected:
    bool heading(const std::string& utf8) const {
        return HeadingReader(codecOf(GetParam())).matches(test::encode(utf8, GetParam()));
    }
};

TEST_P(ChapterHeadingTest, EveryFormOfTheRuleIsAHeading) {
    for (const char* line :
         {"第一千零二十三章 大结局", "第两百回", "第１２章", "第12节", "第三卷 风起云涌",
          "\u3000\u3000第三章 风起", "  \t第十集", "第壹佰零捌篇", "第〇部", "序章", "楔子：开始",
          "番外1", "尾声 完", "后记:", "引子　", "Chapter 12: The Road", "CHAPTER IV",
          "Chapter 7"}) {
        EXPECT_TRUE(heading(line)) << line;
    }
}

TEST_P(ChapterHeadingTest, LinesThatOnlyLookLikeHeadingsAreNot) {
    const std::string fortyOne = "第一章" + [] {
        std::string rest;
        for (int i = 0; i < 38; ++i) rest += "字";
        return rest;
    }();
    for (const std::string& line :
         {std::string("他翻到第三章的时候"), fortyOne, std::string("第章"), std::string("第一"),
          std::string("序章很长的一句话"), std::string("后来"), std::string("chapter 3"),
          std::string("Chapter"), std::string("Chapters 3"), std::string("Chapter Two"),
          std::string("Chapter 3rd"), std::string("第一天"), std::string("")}) {
        EXPECT_FALSE(heading(line)) << line;
    }
    // Forty characters are still a heading.
    EXPECT_TRUE(heading(fortyOne.substr(0, fortyOne.size() - 3)));
}

TEST_P(ChapterHeadingTest, UsersRuleIsSearchedInTheDecodedLine) {
    HeadingPattern::Problem problem = HeadingPattern::Problem::None;
    const HeadingReader rule(codecOf(GetParam()), HeadingPattern::compile("^【.+】$", problem));
    EXPECT_TRUE(rule.matches(test::encode("【第一部分】", GetParam())));
    EXPECT_FALSE(rule.matches(test::encode("第一章", GetParam())));
    // Lines past 200 bytes are never headings.
    EXPECT_FALSE(rule.matches(test::encode("【" + std::string(200, 'x') + "】", GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Encodings, ChapterHeadingTest,
                         ::testing::Values(Encoding::Gbk, Encoding::Utf8, Encoding::Utf16Le,
                                           Encoding::Utf16Be));

TEST(HeadingReader, GbkBytesOfAHeadingOffTheCharacterBoundaryDontCount) {
    // 暗 贫 砀 (B0B5 DAD2 BBD5) then C2 A1: from the second byte on, the
    // bytes read B5DA D2BB D5C2 = 第一章.
    const std::string line("\xB0\xB5\xDA\xD2\xBB\xD5\xC2\xA1", 8);
    EXPECT_EQ(line.substr(1, 6), test::encode("第一章", Encoding::Gbk));
    EXPECT_FALSE(HeadingReader(gbkCodec()).matches(line));
    EXPECT_FALSE(HeadingReader(gbkCodec()).matches(" " + line));
}

}  // namespace
}  // namespace tovane
