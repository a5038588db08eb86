// Text converted to UTF-8 as the reference converter does, from every
// encoding, and bytes that make no character refused rather than guessed at.
#include "split/text/utf8_conversion.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/encode.h"

namespace tovane {
namespace {

// The whole text through the conversion in pieces of `piece` bytes, so that
// characters straddle them; "<bad N>" when it refuses at byte N.
std::string converted(Encoding from, std::string_view text, std::size_t piece) {
    Utf8Conversion conversion(codecOf(from));
    std::string out;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        const std::string_view bytes = text.substr(at, piece);
        std::string room(bytes.size() * Utf8Conversion::kGrowth + 8, '\0');
        const std::int64_t made = conversion.convert(bytes, room.data());
        if (made < 0) return "<bad " + std::to_string(conversion.badAt()) + ">";
        out.append(room.data(), static_cast<std::size_t>(made));
    }
    if (conversion.heldBack() > 0) {
        return "<bad " + std::to_string(text.size() - conversion.heldBack()) + ">";
    }
    std::size_t badAt = 0;
    EXPECT_EQ(Utf8Conversion::lengthOf(codecOf(from), text, badAt),
              static_cast<std::int64_t>(out.size()));
    return out;
}

TEST(Utf8ConversionTest, EveryEncodingGivesTheSameText) {
    const std::string text = "第一章 风起\r\n　　他说：“走吧。”ABC 123 😀 𠀀 ᠀ €\r\n";
    for (Encoding from : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
            EXPECT_EQ(converted(from, test::encode(text, from), piece), text);
        }
    }
}

TEST(Utf8ConversionTest, BytesOfNoCharacterAreRefusedWhereTheyBegin) {
    struct Case {
        Encoding from;
        std::string bytes;
        const char* result;
    };
    for (const Case& c : {
             Case{Encoding::Gbk, "ab\x80", "<bad 2>"},
             Case{Encoding::Gbk, "ab\xFF", "<bad 2>"},
             Case{Encoding::Gbk, "a\x81\x20", "<bad 1>"},
             Case{Encoding::Gbk, "a\xB0", "<bad 1>"},             // cut off by the end
             Case{Encoding::Gbk, "\x81\x30\x81", "<bad 0>"},      // a four-byte code cut off
             Case{Encoding::Gbk, "\x84\x31\xA5\x30", "<bad 0>"},  // past the plane's last
             Case{Encoding::Utf8, "a\xC0\xAF", "<bad 1>"},
             Case{Encoding::Utf8, "a\xED\xA0\x80", "<bad 1>"},  // a surrogate
             Case{Encoding::Utf16Le, std::string("a\0\x00\xDC", 4), "<bad 2>"},
             Case{Encoding::Utf16Be, std::string("\xD8\x00\x00\x61", 4), "<bad 0>"},
         }) {
        EXPECT_EQ(converted(c.from, c.bytes, 1000), c.result) << c.bytes;
    }
}

// Long GBK lines mixing ASCII (letters too, which are also trail bytes),
// two-byte codes with high and low trails and of two-byte UTF-8, and
// four-byte codes: converted a byte at a time, one character after another,
// and in one piece, 64 bytes at a time where it can, they agree; a byte of
// no character is refused at the same place both ways.
TEST(Utf8ConversionTest, GbkConvertsAlikeInWindowsAndOneCharacterAtATime) {
    const std::string kinds[] = {
        "a",        "Z",        "\r\n",     "\xB0\xA1",         "\xD6\xD0",
        "\x81\x40", "\xFE\x4F", "\xA1\xA4", "\x81\x30\x81\x30", "\xA3\xAC"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const std::size_t characters = 40 + random() % 200;
        for (std::size_t i = 0; i < characters; ++i) {
            // Mostly Chinese, as books are, with runs of one kind now and then.
            const std::size_t kind =
                random() % 3 == 0 ? random() % std::size(kinds) : 3 + random() % 2;
            text += kinds[kind];
        }
        EXPECT_EQ(converted(Encoding::Gbk, text, 100000), converted(Encoding::Gbk, text, 1));
        std::string broken = text;
        broken.insert(random() % broken.size(), round % 2 == 0 ? "\x80" : "\xFF");
        const std::string result = converted(Encoding::Gbk, broken, 100000);
        EXPECT_EQ(result, converted(Encoding::Gbk, broken, 1));
        std::size_t badAt = 0;  // measured, it is refused at the same byte
        if (Utf8Conversion::lengthOf(gbkCodec(), broken, badAt) < 0) {
            EXPECT_EQ(result, "<bad " + std::to_string(badAt) + ">");
        } else {
            EXPECT_EQ(result.rfind("<bad", 0), std::string::npos);
        }
    }
}

#ifndef _WIN32
// What the system's iconv makes of `bytes`, or "" when it refuses them.
std::string iconvUtf8(std::string_view bytes) {
    return test::iconvFromTo("GB18030", "UTF-8", bytes).value_or("");
}

// Every two-byte code and every four-byte code of the Basic Multilingual
// Plane one by one, and the supplementary planes by their first, last and a
// stride through them, as the build machine's iconv converts them; a code
// it refuses, or whose character it writes back as another code, is refused.
TEST(Utf8ConversionTest, Gb18030AsTheSystemConvertsIt) {
    std::size_t twoByte = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string mine = converted(Encoding::Gbk, code, 1000);
            if (mine.rfind("<bad", 0) == 0) continue;
            ++twoByte;
            ASSERT_EQ(mine, iconvUtf8(code)) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(twoByte, 21000u);
    const auto fourByte = [](std::uint32_t pointer, std::uint32_t firstLead) {
        return std::string{static_cast<char>(firstLead + pointer / 12600),
                           static_cast<char>(0x30 + pointer / 1260 % 10),
                           static_cast<char>(0x81 + pointer / 10 % 126),
                           static_cast<char>(0x30 + pointer % 10)};
    };
    std::size_t converts = 0;
    for (std::uint32_t pointer = 0; pointer < 39420; ++pointer) {
        const std::string code = fourByte(pointer, 0x81);
        const std::string mine = converted(Encoding::Gbk, code, 2);
        if (mine.rfind("<bad", 0) == 0) continue;
        ++converts;
        ASSERT_EQ(mine, iconvUtf8(code)) << pointer;
    }
    EXPECT_GT(converts, 39000u);
    for (std::uint32_t pointer = 0; pointer < 0x100000; pointer += 997) {
        const std::string code = fourByte(pointer, 0x90);
        ASSERT_EQ(converted(Encoding::Gbk, code, 3), iconvUtf8(code)) << pointer;
    }
    EXPECT_EQ(converted(Encoding::Gbk, "\xE3\x32\x9A\x35", 1), "\xF4\x8F\xBF\xBF");
    // U+20087 is FE 51 both ways; its four-byte code doesn't come back.
    ASSERT_EQ(converted(Encoding::Gbk, "\xFE\x51", 1), "\xF0\xA0\x82\x87");
    EXPECT_EQ(converted(Encoding::Gbk, "\x95\x32\x90\x31", 1), "<bad 0>");
}
#endif

}  // namespace
}  // namespace tovane
