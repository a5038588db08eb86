#include "split/text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace tovane {
namespace {

TEST(DetectEncoding, ByteOrderMarksWinOverContent) {
    EXPECT_EQ(detectEncoding("\xEF\xBB\xBF"
                             "abc",
                             6),
              TextEncoding::Utf8Bom);
    EXPECT_EQ(detectEncoding("\xFF\xFE"
                             "a",
                             3),
              TextEncoding::Utf16Le);
    EXPECT_EQ(detectEncoding("\xFE\xFF"
                             "a",
                             3),
              TextEncoding::Utf16Be);
}

TEST(DetectEncoding, PlainAsciiAndGbkAreGbk) {
    EXPECT_EQ(detectEncoding("hello\r\n", 7), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding("", 0), TextEncoding::Gbk);
    const std::string gbk = "\xC4\xE3\xBA\xC3";  // 你好 in GBK, not valid UTF-8
    EXPECT_EQ(detectEncoding(gbk, gbk.size()), TextEncoding::Gbk);
}

TEST(DetectEncoding, ValidUtf8WithHighBytesIsUtf8) {
    const std::string utf8 = "\xE4\xBD\xA0\xE5\xA5\xBD\r\n";  // 你好
    EXPECT_EQ(detectEncoding(utf8, utf8.size()), TextEncoding::Utf8);
}

TEST(DetectEncoding, SequenceCutAtSampleEndCountsOnlyWhenMoreFollows) {
    std::string sample(kEncodingSampleSize - 2, 'a');
    sample += "\xE4\xBD";  // the first two bytes of a three-byte sequence
    EXPECT_EQ(detectEncoding(sample, sample.size() + 100), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding(sample, sample.size()), TextEncoding::Gbk);
}

TEST(DetectEncoding, Utf16WithoutAMarkIsToldByItsNulBytes) {
    using namespace std::string_literals;
    // 第一章 CR LF 你好 CR LF; 一 is U+4E00, with a NUL of its own on the other side.
    const std::string little = "\x2c\x7b\x00\x4e\xe0\x7a\r\0\n\0\x60\x4f\x7d\x59\r\0\n\0"s;
    std::string big;
    for (std::size_t i = 0; i < little.size(); i += 2) big += {little[i + 1], little[i]};
    EXPECT_EQ(detectEncoding(little, little.size()), TextEncoding::Utf16LeNoBom);
    EXPECT_EQ(detectEncoding(big, big.size()), TextEncoding::Utf16BeNoBom);
    // GBK and UTF-8 text with NUL bytes in it (padding, a stray one) stay what they are.
    const std::string gbk = "\xb5\xda\xd2\xbb\xd5\xc2\r\n\xc4\xe3\xba\xc3\r\n"s;
    EXPECT_EQ(detectEncoding(gbk + "\0\0\0\0"s, gbk.size() + 4), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(gbk + "\0"s + gbk, 2 * gbk.size() + 1), TextEncoding::Gbk);
    const std::string utf8 = "\xe7\xac\xac\xe4\xb8\x80\r\n\0"s;
    EXPECT_EQ(detectEncoding(utf8, utf8.size()), TextEncoding::Utf8);
}

TEST(IsValidUtf8, RejectsOverlongSurrogatesAndOutOfRange) {
    EXPECT_FALSE(isValidUtf8("\xC0\x80", false));          // overlong NUL
    EXPECT_FALSE(isValidUtf8("\xE0\x80\x80", false));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80", false));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80", false));  // past U+10FFFF
    EXPECT_FALSE(isValidUtf8("\x80", false));              // stray continuation
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80", false));   // emoji
    EXPECT_FALSE(isValidUtf8("\xF0\x9F\x98", false));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98", true));
}

TEST(TextEncoding, LineBreaksAndMarksPerEncoding) {
    EXPECT_EQ(lineBreak(TextEncoding::Gbk), "\r\n");
    EXPECT_EQ(lineBreak(TextEncoding::Utf16Le), std::string("\r\0\n\0", 4));
    EXPECT_EQ(lineBreak(TextEncoding::Utf16Be), std::string("\0\r\0\n", 4));
    EXPECT_EQ(byteOrderMark(TextEncoding::Utf8), "");
    EXPECT_EQ(byteOrderMark(TextEncoding::Utf8Bom), "\xEF\xBB\xBF");
}

}  // namespace
}  // namespace tovane
