#include "split/text/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "support/encode.h"

namespace tovane {
namespace {

TEST(DetectEncoding, ByteOrderMarksWinOverContent) {
    EXPECT_EQ(detectEncoding("\xEF\xBB\xBF"
                             "abc"),
              TextEncoding::Utf8Bom);
    EXPECT_EQ(detectEncoding("\xFF\xFE"
                             "a"),
              TextEncoding::Utf16Le);
    EXPECT_EQ(detectEncoding("\xFE\xFF"
                             "a"),
              TextEncoding::Utf16Be);
    // A mark counts only at the start of the file.
    EXPECT_EQ(detectEncoding("ab\xEF\xBB\xBF"), TextEncoding::Utf8);
}

TEST(DetectEncoding, PlainAsciiAndGbkAreGbk) {
    EXPECT_EQ(detectEncoding("hello\r\n"), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(""), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(std::string(200000, 'a')), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(test::encode("你好\r\n", TextEncoding::Gbk)), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(test::encode("你好\r\n", TextEncoding::Utf8)), TextEncoding::Utf8);
}

// The sample starts at the first byte that tells: a long ASCII preface (a
// licence, an English foreword) leaves the decision to the text after it.
TEST(DetectEncoding, TheTextAfterAnAsciiPrefaceDecides) {
    const std::string preface = [] {
        std::string text;
        while (text.size() < 70000) text += "This book is shared for reading only.\r\n";
        return text;
    }();
    EXPECT_EQ(detectEncoding(preface + test::encode("第一章 风起\r\n", TextEncoding::Utf8)),
              TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding(preface + test::encode("第一章 风起\r\n", TextEncoding::Gbk)),
              TextEncoding::Gbk);
    // A UTF-8 sequence cut off by the sample's end counts only when the file goes on.
    std::string cut = "\xC3\xA9" + std::string(kEncodingSampleSize - 4, 'a');
    cut += "\xE4\xBD";
    EXPECT_EQ(detectEncoding(cut + "\xA0 more"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding(cut), TextEncoding::Gbk);
}

TEST(DetectEncoding, Utf16WithoutAMarkNeedsOnlyOneLineEnd) {
    // Paragraphs of 10,000 characters: one line end in the whole sample.
    std::string paragraph = "第一章 风起\r\n";
    for (int i = 0; i < 10000; ++i) paragraph += i % 2 ? "上" : "山";
    for (const TextEncoding encoding : {TextEncoding::Utf16LeNoBom, TextEncoding::Utf16BeNoBom}) {
        EXPECT_EQ(detectEncoding(test::encode(paragraph + paragraph, encoding)), encoding);
    }
    // Without any line end in its sample it is not told apart from GBK.
    std::string noLineEnd;
    for (int i = 0; i < 40000; ++i) noLineEnd += "山";
    EXPECT_EQ(detectEncoding(test::encode(noLineEnd, TextEncoding::Utf16LeNoBom)),
              TextEncoding::Gbk);
}

TEST(DetectEncoding, NulBytesInGbkAndUtf8TextLeaveThemAsTheyAre) {
    using namespace std::string_literals;
    const std::string gbk = test::encode("第一章\r\n你好\r\n", TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(gbk + "\0\0\0\0"s), TextEncoding::Gbk);
    EXPECT_EQ(detectEncoding(gbk + "\0"s + gbk), TextEncoding::Gbk);
    // UTF-8 with a NUL, even where its units would read as UTF-16 (U+0D00, U+000A).
    EXPECT_EQ(detectEncoding("\xe7\xac\xac\xe4\xb8\x80\r\n\0"s), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("\0\r\n\0\xc3\xa9"s), TextEncoding::Utf8);
}

TEST(DetectEncoding, Utf16RulesOnTheSample) {
    using namespace std::string_literals;
    EXPECT_TRUE(readsAsUtf16("a\0\n\0"s, false));
    EXPECT_FALSE(readsAsUtf16("a\0b\0"s, false));        // no line end
    EXPECT_FALSE(readsAsUtf16("\0\0\n\0"s, false));      // a unit 0
    EXPECT_FALSE(readsAsUtf16("\x00\xDC\n\0"s, false));  // a low surrogate alone
    EXPECT_FALSE(readsAsUtf16("\x00\xD8\n\0"s, false));  // a high one without its pair
    EXPECT_TRUE(readsAsUtf16("\n\0\x00\xD8"s, false));   // a high one at the very end
    EXPECT_TRUE(readsAsUtf16("\0\n\0a\0"s, true));       // an odd last byte dangles
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
