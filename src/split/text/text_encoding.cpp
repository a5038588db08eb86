#include "split/text/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "split/text/gb18030.h"

namespace tovane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Bom{"\xEF\xBB\xBF", 3};
constexpr std::string_view kUtf16LeBom{"\xFF\xFE", 2};
constexpr std::string_view kUtf16BeBom{"\xFE\xFF", 2};

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool hasHighByte(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

}  // namespace

bool isValidUtf8(std::string_view bytes, bool allowTruncatedEnd) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80;   // bounds of the second byte rule out overlong
        unsigned char high = 0xBF;  // forms, surrogates and code points past U+10FFFF
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k >= n) return allowTruncatedEnd;
            const unsigned char t = p[i + k];
            if (k == 1 ? (t < low || t > high) : (t < 0x80 || t > 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

bool readsAsUtf16(std::string_view sample, bool bigEndian) {
    bool lineEnd = false;
    bool highSurrogate = false;
    for (std::size_t i = 0; i + 1 < sample.size(); i += 2) {
        const auto first = static_cast<unsigned char>(sample[i]);
        const auto second = static_cast<unsigned char>(sample[i + 1]);
        const unsigned unit =
            bigEndian ? unsigned{first} << 8 | second : unsigned{second} << 8 | first;
        if (unit == 0) return false;
        lineEnd = lineEnd || unit == '\r' || unit == '\n';
        const bool isHigh = unit >= 0xD800 && unit < 0xDC00;
        const bool isLow = unit >= 0xDC00 && unit < 0xE000;
        if (isLow != highSurrogate) return false;
        highSurrogate = isHigh;
    }
    return lineEnd;
}

TextEncoding detectUnmarkedEncoding(std::string_view sample, bool moreFollows) {
    // GBK text never holds a NUL byte and makes lone surrogates out of its
    // pairs; UTF-8 text that does hold one stays UTF-8.
    const bool utf8 = hasHighByte(sample) && isValidUtf8(sample, moreFollows);
    if (!utf8 && sample.find('\0') != std::string_view::npos) {
        if (readsAsUtf16(sample, false)) return TextEncoding::Utf16LeNoBom;
        if (readsAsUtf16(sample, true)) return TextEncoding::Utf16BeNoBom;
    }
    return utf8 ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

namespace {

// The first byte of `bytes` that is NUL or past ASCII, or npos. A file of
// ASCII alone is read through here once, eight bytes at a time.
std::size_t firstTellingByte(std::string_view bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (((word - kOnes) | word) & kHighs) break;  // a NUL or a high byte among them
    }
    for (; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == 0 || c >= 0x80) return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::optional<TextEncoding> detectEncoding(const ReadAt& readAt, std::uint64_t fileSize) {
    std::string buffer(kEncodingSampleSize, '\0');
    // The first bytes: a mark, or where the sample begins.
    std::uint64_t at = 0;
    std::uint64_t telling = fileSize;
    for (bool first = true; at < fileSize; first = false) {
        const std::int64_t got = readAt(at, buffer.data(), buffer.size());
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        const std::string_view piece(buffer.data(), static_cast<std::size_t>(got));
        if (first) {
            if (startsWith(piece, kUtf8Bom)) return TextEncoding::Utf8Bom;
            if (startsWith(piece, kUtf16LeBom)) return TextEncoding::Utf16Le;
            if (startsWith(piece, kUtf16BeBom)) return TextEncoding::Utf16Be;
        }
        const std::size_t found = firstTellingByte(piece);
        if (found != std::string_view::npos) {
            telling = (at + found) & ~std::uint64_t{1};
            break;
        }
        at += piece.size();
    }
    if (telling >= fileSize) return TextEncoding::Gbk;  // ASCII alone
    const std::int64_t got = readAt(telling, buffer.data(), buffer.size());
    if (got < 0) return std::nullopt;
    const std::string_view sample(buffer.data(), static_cast<std::size_t>(got));
    return detectUnmarkedEncoding(sample, telling + sample.size() < fileSize);
}

TextEncoding detectEncoding(std::string_view wholeFile) {
    const auto readAt = [wholeFile](std::uint64_t offset, char* into, std::size_t size) {
        if (offset >= wholeFile.size()) return std::int64_t{0};
        const std::string_view piece = wholeFile.substr(static_cast<std::size_t>(offset), size);
        std::copy(piece.begin(), piece.end(), into);
        return static_cast<std::int64_t>(piece.size());
    };
    return detectEncoding(readAt, wholeFile.size()).value_or(TextEncoding::Gbk);
}

char32_t decodeGbkCharacter(std::string_view text, std::size_t& at) {
    const auto first = static_cast<unsigned char>(text[at]);
    const auto byte = [&](std::size_t i) -> unsigned char {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
    };
    if (kGbkPairs.isLead(first) && DoubleByteRanges::isDigit(byte(1)) &&
        kGbkPairs.isLead(byte(2)) && DoubleByteRanges::isDigit(byte(3))) {
        const char32_t c = gb18030FourByte(first, byte(1), byte(2), byte(3));
        at += 4;
        return c != 0 ? c : kReplacement;
    }
    if (kGbkPairs.isLead(first) && at + 1 < text.size() &&
        kGbkPairs.isTrail(static_cast<unsigned char>(text[at + 1]))) {
        const char32_t c = gb18030Pair(first, static_cast<unsigned char>(text[at + 1]));
        at += 2;
        return c != 0 ? c : kReplacement;
    }
    ++at;
    return first < 0x80 ? first : kReplacement;
}

char32_t decodeUtf8Character(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    if (first < 0x80) {
        ++at;
        return first;
    }
    const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
    if (length == 0 || !isValidUtf8(text.substr(at, length), false)) {
        ++at;  // a stray or broken byte: one replacement each
        return kReplacement;
    }
    char32_t value = first & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) value = value << 6 | (byte(at + i) & 0x3Fu);
    at += length;
    return value;
}

namespace {

char32_t decodeUtf16(std::string_view text, std::size_t& at, bool bigEndian) {
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(text[i + 1]);
        return bigEndian ? char32_t(a) << 8 | b : char32_t(b) << 8 | a;
    };
    if (at + 1 >= text.size()) {
        ++at;  // an odd last byte
        return kReplacement;
    }
    const char32_t unit = unitAt(at);
    at += 2;
    if (unit >= 0xD800 && unit < 0xDC00 && at + 1 < text.size()) {
        const char32_t low = unitAt(at);
        if (low >= 0xDC00 && low < 0xE000) {
            at += 2;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit;
}

}  // namespace

char32_t decodeUtf16LeCharacter(std::string_view text, std::size_t& at) {
    return decodeUtf16(text, at, false);
}

char32_t decodeUtf16BeCharacter(std::string_view text, std::size_t& at) {
    return decodeUtf16(text, at, true);
}

std::u32string decodeLine(std::string_view line, TextEncoding encoding) {
    const EncodingFacts& facts = factsOf(encoding);
    std::u32string text;
    for (std::size_t at = 0; at < line.size();) text += facts.decode(line, at);
    return text;
}

std::size_t putUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | c >> 6);
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | c >> 12);
        out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | c >> 18);
    out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

std::string encodeCharacter(char32_t c, TextEncoding encoding) {
    const EncodingFacts& facts = factsOf(encoding);
    std::string bytes;
    switch (facts.form) {
        case CharacterForm::DoubleByte:
            if (c < 0x80) return std::string(1, static_cast<char>(c));
            if (const std::uint16_t pair = gb18030PairOf(c)) {
                return {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
            }
            return {};
        case CharacterForm::Utf8: {
            char utf8[4];
            return std::string(utf8, putUtf8(c, utf8));
        }
        case CharacterForm::Utf16: {
            auto unit = [&](char32_t u) {
                const char high = static_cast<char>(u >> 8);
                const char low = static_cast<char>(u & 0xFF);
                bytes += facts.bigEndian ? high : low;
                bytes += facts.bigEndian ? low : high;
            };
            if (c < 0x10000) {
                unit(c);
            } else {
                unit(0xD800 + ((c - 0x10000) >> 10));
                unit(0xDC00 + ((c - 0x10000) & 0x3FF));
            }
            return bytes;
        }
    }
    return bytes;
}

}  // namespace tovane
