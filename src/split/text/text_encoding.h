// The encodings a source file can be in, how one is recognised from the
// file's first bytes, and what the engine needs to know of each, in one
// table: a new encoding is one entry there and a decoder for its characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tovane {

enum class TextEncoding {
    Gbk,
    Utf8,
    Utf8Bom,
    Utf16Le,
    Utf16Be,
    Utf16LeNoBom,  // UTF-16 told by its NUL bytes; its parts get no mark either
    Utf16BeNoBom,
};

// How characters are made of bytes: what a character count, a character
// boundary and decoding go by.
enum class CharacterForm {
    DoubleByte,  // a byte, a lead byte and a trail byte (GBK), or the four bytes
                 // lead, digit, lead, digit that GB18030 adds
    Utf8,        // a lead byte and up to three continuation bytes
    Utf16,       // a 16-bit unit, or two of them for a surrogate pair
};

// Double-byte encodings: the bytes that open a pair, and those that can close one.
struct DoubleByteRanges {
    unsigned char leadFirst;
    unsigned char leadLast;
    unsigned char trailFirst;  // trail bytes are trailFirst..trailLast without the gap
    unsigned char trailLast;
    unsigned char gapFirst;  // bytes inside the trail range that can't close a pair
    unsigned char gapLast;
    bool isLead(unsigned char c) const { return c >= leadFirst && c <= leadLast; }
    bool isTrail(unsigned char c) const {
        return c >= trailFirst && c <= trailLast && !(c >= gapFirst && c <= gapLast);
    }
    // The second and fourth bytes of a four-byte character.
    static bool isDigit(unsigned char c) { return c >= 0x30 && c <= 0x39; }
};

struct EncodingFacts {
    std::string_view name;           // as a user knows it: "GBK", "UTF-8", …
    std::string_view byteOrderMark;  // opens the source and every part; empty without one
    std::size_t unit;                // bytes of a code unit; lines end at CR and LF units
    bool bigEndian;                  // the order of a two-byte unit's bytes
    std::string_view lineBreak;      // CR LF in the encoding, written after every line
    std::size_t longestCharacter;    // the most bytes one character takes
    CharacterForm form;
    DoubleByteRanges pairs;  // DoubleByte only
    // Reads the character at `at`, a character boundary of `text`, and moves
    // `at` past it; bytes that make no character read as U+FFFD, one a time.
    char32_t (*decode)(std::string_view text, std::size_t& at);
};

// The decoders of the table.
char32_t decodeGbkCharacter(std::string_view text, std::size_t& at);
char32_t decodeUtf8Character(std::string_view text, std::size_t& at);
char32_t decodeUtf16LeCharacter(std::string_view text, std::size_t& at);
char32_t decodeUtf16BeCharacter(std::string_view text, std::size_t& at);

inline constexpr DoubleByteRanges kGbkPairs{0x81, 0xFE, 0x40, 0xFE, 0x7F, 0x7F};

// In the order of TextEncoding.
inline constexpr EncodingFacts kEncodings[] = {
    {"GBK", "", 1, false, "\r\n", 4, CharacterForm::DoubleByte, kGbkPairs, decodeGbkCharacter},
    {"UTF-8", "", 1, false, "\r\n", 4, CharacterForm::Utf8, {}, decodeUtf8Character},
    {"UTF-8", "\xEF\xBB\xBF", 1, false, "\r\n", 4, CharacterForm::Utf8, {}, decodeUtf8Character},
    {"UTF-16LE",
     "\xFF\xFE",
     2,
     false,
     {"\r\0\n\0", 4},
     4,
     CharacterForm::Utf16,
     {},
     decodeUtf16LeCharacter},
    {"UTF-16BE",
     "\xFE\xFF",
     2,
     true,
     {"\0\r\0\n", 4},
     4,
     CharacterForm::Utf16,
     {},
     decodeUtf16BeCharacter},
    {"UTF-16LE",
     "",
     2,
     false,
     {"\r\0\n\0", 4},
     4,
     CharacterForm::Utf16,
     {},
     decodeUtf16LeCharacter},
    {"UTF-16BE", "", 2, true, {"\0\r\0\n", 4}, 4, CharacterForm::Utf16, {}, decodeUtf16BeCharacter},
};

inline constexpr const EncodingFacts& factsOf(TextEncoding encoding) {
    return kEncodings[static_cast<std::size_t>(encoding)];
}

// How many bytes of the source are looked at to tell the encoding.
inline constexpr std::size_t kEncodingSampleSize = 64 * 1024;

// Reads up to `size` bytes of the source at `offset` into `into`: the count,
// fewer only at the end of the file, or -1 when it can't.
using ReadAt = std::function<std::int64_t(std::uint64_t offset, char* into, std::size_t size)>;

// The encoding of a file of `fileSize` bytes, read through `readAt`; nothing
// when it can't be read. A byte-order mark decides. Otherwise the sample is
// the kEncodingSampleSize bytes from the first byte that is NUL or past
// ASCII (its offset rounded down to an even number), since an ASCII
// preface reads the same in every encoding: UTF-16 without a mark (little-
// endian first) when the sample holds a NUL, isn't UTF-8 with a byte past
// ASCII and reads as UTF-16 (see readsAsUtf16); else UTF-8 when it is valid
// UTF-8 with a byte past ASCII; else GBK, which a file of ASCII alone is.
// Every reader of a source tells its encoding with this one function.
std::optional<TextEncoding> detectEncoding(const ReadAt& readAt, std::uint64_t fileSize);
// The same for a file held in memory.
TextEncoding detectEncoding(std::string_view wholeFile);

// The choice without a mark, from the sample alone; `moreFollows`: the file
// goes on past the sample, so a UTF-8 sequence it cuts off is allowed.
TextEncoding detectUnmarkedEncoding(std::string_view sample, bool moreFollows);

// Read as 16-bit units in that byte order, `sample` has no unit 0, no
// surrogate out of its pair (a high one at the very end is allowed, as its
// pair may follow) and at least one CR or LF unit.
bool readsAsUtf16(std::string_view sample, bool bigEndian);

// Shorthands for the table's entries.
inline std::string_view byteOrderMark(TextEncoding encoding) {
    return factsOf(encoding).byteOrderMark;
}
inline std::size_t codeUnitSize(TextEncoding encoding) {
    return factsOf(encoding).unit;
}
inline std::string_view lineBreak(TextEncoding encoding) {
    return factsOf(encoding).lineBreak;
}

// GBK: a byte that opens a two-byte character, and one that can close it.
// CR and LF are neither, so a line always starts at a character boundary.
inline bool isGbkLead(unsigned char c) {
    return factsOf(TextEncoding::Gbk).pairs.isLead(c);
}
inline bool isGbkTrail(unsigned char c) {
    return factsOf(TextEncoding::Gbk).pairs.isTrail(c);
}

// `line` decoded from its encoding; bytes that make no character become U+FFFD.
std::u32string decodeLine(std::string_view line, TextEncoding encoding);

// `c` in the encoding; empty when the encoding has no such character.
std::string encodeCharacter(char32_t c, TextEncoding encoding);
// `c` in UTF-8, written at `out` (room for 4 bytes); returns how many.
std::size_t putUtf8(char32_t c, char* out);

// True when `bytes` is well-formed UTF-8; a sequence cut off by the end of
// `bytes` is accepted only when `allowTruncatedEnd` is set.
bool isValidUtf8(std::string_view bytes, bool allowTruncatedEnd);

}  // namespace tovane
