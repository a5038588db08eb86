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
    // A UTF-8 sequence cut off by the sample's end doesn't count, whether
    // the file goes on or not.
    std::string cut = "\xC3\xA9" + std::string(kEncodingSampleSize - 4, 'a');
    cut += "\xE4\xBD";
    EXPECT_EQ(detectFormat(cut + "\xA0 more"), (SourceFormat{Encoding::Utf8, false}));
    EXPECT_EQ(detectFormat(cut), (SourceFormat{Encoding::Utf8, false}));
}

// A stray byte or two in a UTF-8 book, as editors and sites leave them: one
// ill-formed stretch for every hundred good sequences at most.
TEST(DetectFormat, Utf8AllowsAStrayByteInAHundredSequences) {
    const auto book = [](int sequences, int strays) {
        std::string text;
        for (int i = 1; i <= sequences; ++i) {
            text += i % 10 == 0 ? "风\r\n" : "风";
            if (i % (sequences / strays) == 0 && strays-- > 0) text += "\xFF";
        }
        return text;
    };
    EXPECT_EQ(detectFormat(book(150, 1)).encoding, Encoding::Utf8);
    EXPECT_EQ(detectFormat(book(100, 1)).encoding, Encoding::Utf8);
    EXPECT_EQ(detectFormat(book(50, 1)).encoding, Encoding::Gbk);
    EXPECT_EQ(detectFormat(book(300, 4)).encoding, Encoding::Gbk);
    // Ill-formed stretches are counted as ICU and Python count U+FFFD.
    EXPECT_EQ(tallyUtf8("\xE4\xBD"
                        "a")
                  .invalid,
              1u);                                     // a sequence broken off
    EXPECT_EQ(tallyUtf8("\xF0\x80\x80").invalid, 3u);  // F0 takes no 80 after it
    EXPECT_EQ(tallyUtf8("\xC0\xAF"
                        "\xED\xA0\x80")
                  .invalid,
              5u);  // overlong, surrogate
    EXPECT_EQ(tallyUtf8("\xE4\xBD\xA0\xF0\x9F\x98\x80").valid, 2u);
    EXPECT_EQ(tallyUtf8("\xE4\xBD").invalid, 0u);  // cut off by the end
}

// Traditional Chinese in Big5 is told from simplified in GBK by their
// commonest characters, each in its own codes.
TEST(DetectFormat, Big5IsToldByItsCommonTraditionalCharacters) {
    const std::string traditional =
        "第一章 風起雲湧\r\n　　他說這個時候，我們還沒有來到這裡，大家都在看著她。\r\n";
    const std::string simplified =
        "第一章 风起云涌\r\n　　他说这个时候，我们还没有来到这里，大家都在看着她。\r\n";
    EXPECT_EQ(detectFormat(test::encode(traditional, Encoding::Big5)).encoding, Encoding::Big5);
    EXPECT_EQ(detectFormat(test::encode(simplified, Encoding::Gbk)).encoding, Encoding::Gbk);
    // Traditional characters in GBK stay GBK; a line or two is too few to tell.
    EXPECT_EQ(detectFormat(test::encode(traditional, Encoding::Gbk)).encoding, Encoding::Gbk);
    EXPECT_EQ(detectFormat(test::encode("第一章 風起\r\n", Encoding::Big5)).encoding,
              Encoding::Gbk);
}

// The rule's edges: Big5 from 16 of the traditional characters' codes on,
// and only where they are more than twice the simplified ones'.
TEST(DetectFormat, Big5NeedsSixteenTraditionalCodesAndTwiceTheSimplified) {
    const std::string traditional = test::encode("這", Encoding::Big5);
    const std::string simplified = test::encode("这", Encoding::Gbk);
    const auto book = [&](int t, int s) {
        std::string bytes;
        for (int i = 0; i < t; ++i) bytes += traditional + "a ";
        for (int i = 0; i < s; ++i) bytes += simplified + "b ";
        return bytes + "\r\n";
    };
    EXPECT_EQ(detectFormat(book(15, 0)).encoding, Encoding::Gbk);
    EXPECT_EQ(detectFormat(book(16, 0)).encoding, Encoding::Big5);
    EXPECT_EQ(detectFormat(book(16, 8)).encoding, Encoding::Gbk);
    EXPECT_EQ(detectFormat(book(17, 8)).encoding, Encoding::Big5);
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
    EXPECT_FALSE(readsAsUtf16("a\0b\0"s, false));       // no line end
    EXPECT_FALSE(readsAsUtf16("\0\0\n\0"s, false));     // a unit 0
    EXPECT_TRUE(readsAsUtf16("\n\0\x00\xD8"s, false));  // a high one at the very end
    EXPECT_TRUE(readsAsUtf16("\0\n\0a\0"s, true));      // an odd last byte dangles
    // Surrogates out of their pairs: one for every 1,000 units, one at least.
    EXPECT_TRUE(readsAsUtf16("\x00\xDC\n\0"s, false));
    EXPECT_TRUE(readsAsUtf16("\x00\xD8\n\0"s, false));
    EXPECT_FALSE(readsAsUtf16("\x00\xD8\n\0\x00\xDC\n\0"s, false));  // two in four units
    std::string units;
    for (int i = 0; i < 1999; ++i) units += "a\0"s;
    units += "\n\0\x00\xDC\x00\xDC"s;  // two in 2,002
    EXPECT_TRUE(readsAsUtf16(units, false));
    EXPECT_FALSE(readsAsUtf16(units + "\x00\xDC"s, false));
}

// A UTF-16 book without a mark and with a surrogate out of its pair (a
// damaged emoji) is still UTF-16: its lines are split where its units end.
TEST(DetectFormat, Utf16WithALoneSurrogateStaysUtf16) {
    std::string book;
    for (int n = 1; n <= 29; ++n)
        book += "第" + std::to_string(n) + "章 风起\r\n　　雨一直下。\r\n";
    std::string bytes = test::encode(book, Encoding::Utf16Le);
    bytes.insert(bytes.size() / 2 & ~std::size_t{1}, std::string("\x3D\xD8", 2));
    EXPECT_EQ(detectFormat(bytes), (SourceFormat{Encoding::Utf16Le, false}));
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
