#include "split/text/source_format.h"

#include <gtest/gtest.h>

#include <string>

#include "split/text/utf8.h"
#include "support/encode.h"

namespace tovane {
namespace {

TEST(DetectFormat, ByteOrderMarksWinOverContent) {
    EXPECT_EQ(detectFormat("\xEF\xBB\xBF"
                           "abc"),
              (SourceFormat{Encoding::Utf8, true}));
    EXPECT_EQ(detectFormat("\xFF\xFE"
                           "a"),
              (SourceFormat{Encoding::Utf16Le, true}));
    EXPECT_EQ(detectFormat("\xFE\xFF"
                           "a"),
              (SourceFormat{Encoding::Utf16Be, true}));
    // A mark counts only at the start of the file.
    EXPECT_EQ(detectFormat("ab\xEF\xBB\xBF"), (SourceFormat{Encoding::Utf8, false}));
}

TEST(DetectFormat, PlainAsciiAndGbkAreGbk) {
    EXPECT_EQ(detectFormat("hello\r\n"), (SourceFormat{Encoding::Gbk, false}));
    EXPECT_EQ(detectFormat(""), (SourceFormat{Encoding::Gbk, false}));
    EXPECT_EQ(detectFormat(std::string(200000, 'a')), (SourceFormat{Encoding::Gbk, false}));
    EXPECT_EQ(detectFormat(test::encode("你好\r\n", Encoding::Gbk)),
              (SourceFormat{Encoding::Gbk, false}));
    EXPECT_EQ(detectFormat(test::encode("你好\r\n", Encoding::Utf8)),
              (SourceFormat{Encoding::Utf8, false}));
}

// The sample starts at the first byte that tells: a long ASCII preface (a
// licence, an English foreword) leaves the decision to the text after it.
TEST(DetectFormat, TheTextAfterAnAsciiPrefaceDecides) {
    const std::string preface = [] {
        std::string text;
        while (text.size() < 70000) text += "This book is shared for reading only.\r\n";
        return text;
    }();
    EXPECT_EQ(detectFormat(preface + test::encode("第一章 风起\r\n", Encoding::Utf8)),
              (SourceFormat{Encoding::Utf8, false}));
    EXPECT_EQ(detectFormat(preface + test::encode("第一章 风起\r\n", Encoding::Gbk)),
              (SourceFormat{Encoding::Gbk, false}));
    // A UTF-8 sequence cut off by the sample's end counts only when the file goes on.
    std::string cut = "\xC3\xA9" + std::string(kEncodingSampleSize - 4, 'a');
    cut += "\xE4\xBD";
    EXPECT_EQ(detectFormat(cut + "\xA0 more"), (SourceFormat{Encoding::Utf8, false}));
    EXPECT_EQ(detectFormat(cut), (SourceFormat{Encoding::Gbk, false}));
}

TEST(DetectFormat, Utf16WithoutAMarkNeedsOnlyOneLineEnd) {
    // Paragraphs of 10,000 characters: one line end in the whole sample.
    std::string paragraph = "第一章 风起\r\n";
    for (int i = 0; i < 10000; ++i) paragraph += i % 2 ? "上" : "山";
    for (const Encoding encoding : {Encoding::Utf16Le, Encoding::Utf16Be}) {
        EXPECT_EQ(detectFormat(test::encode(paragraph + paragraph, encoding)),
                  (SourceFormat{encoding, false}));
    }
    // Without any line end in its sample it is not told apart from GBK.
    std::string noLineEnd;
    for (int i = 0; i < 40000; ++i) noLineEnd += "山";
    EXPECT_EQ(detectFormat(test::encode(noLineEnd, Encoding::Utf16Le)),
              (SourceFormat{Encoding::Gbk, false}));
}

TEST(DetectFormat, NulBytesInGbkAndUtf8TextLeaveThemAsTheyAre) {
    using namespace std::string_literals;
    const std::string gbk = test::encode("第一章\r\n你好\r\n", Encoding::Gbk);
    EXPECT_EQ(detectFormat(gbk + "\0\0\0\0"s), (SourceFormat{Encoding::Gbk, false}));
    EXPECT_EQ(detectFormat(gbk + "\0"s + gbk), (SourceFormat{Encoding::Gbk, false}));
    // UTF-8 with a NUL, even where its units would read as UTF-16 (U+0D00, U+000A).
    EXPECT_EQ(detectFormat("\xe7\xac\xac\xe4\xb8\x80\r\n\0"s),
              (SourceFormat{Encoding::Utf8, false}));
    EXPECT_EQ(detectFormat("\0\r\n\0\xc3\xa9"s), (SourceFormat{Encoding::Utf8, false}));
}

TEST(DetectFormat, Utf16RulesOnTheSample) {
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
    EXPECT_FALSE(utf8::isValid("\xC0\x80", false));          // overlong NUL
    EXPECT_FALSE(utf8::isValid("\xE0\x80\x80", false));      // overlong
    EXPECT_FALSE(utf8::isValid("\xED\xA0\x80", false));      // surrogate
    EXPECT_FALSE(utf8::isValid("\xF4\x90\x80\x80", false));  // past U+10FFFF
    EXPECT_FALSE(utf8::isValid("\x80", false));              // stray continuation
    EXPECT_TRUE(utf8::isValid("\xF0\x9F\x98\x80", false));   // emoji
    EXPECT_FALSE(utf8::isValid("\xF0\x9F\x98", false));
    EXPECT_TRUE(utf8::isValid("\xF0\x9F\x98", true));
}

TEST(SourceFormat, LineBreaksAndMarksPerEncoding) {
    EXPECT_EQ(gbkCodec().lineBreak(), "\r\n");
    EXPECT_EQ(utf16Codec(false).lineBreak(), std::string("\r\0\n\0", 4));
    EXPECT_EQ(utf16Codec(true).lineBreak(), std::string("\0\r\0\n", 4));
    EXPECT_EQ((SourceFormat{Encoding::Utf8, false}.mark()), "");
    EXPECT_EQ((SourceFormat{Encoding::Utf8, true}.mark()), "\xEF\xBB\xBF");
}

}  // namespace
}  // namespace tovane
