#include "split/text/text_encoding.h"

#include "split/text/gbk_text.h"

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

// UTF-16 without a mark: read as UTF-16 in this byte order, the sample has
// no unit 0, no surrogate out of its pair, and line-end units (CR or LF, the
// NUL bytes of which gave it away) at least every 4096 units on average.
// GBK and UTF-8 text holds no NUL byte at all; one that did would also need
// a NUL right after a line feed, at the right side, every few kilobytes, and
// GBK's characters make surrogates out of their pairs besides.
bool readsAsUtf16(std::string_view sample, bool bigEndian) {
    std::size_t units = 0;
    std::size_t lineEnds = 0;
    bool highSurrogate = false;
    for (std::size_t i = 0; i + 1 < sample.size(); i += 2, ++units) {
        const auto first = static_cast<unsigned char>(sample[i]);
        const auto second = static_cast<unsigned char>(sample[i + 1]);
        const unsigned unit = bigEndian ? first << 8 | second : second << 8 | first;
        if (unit == 0) return false;
        if (unit == '\r' || unit == '\n') ++lineEnds;
        const bool isHigh = unit >= 0xD800 && unit < 0xDC00;
        const bool isLow = unit >= 0xDC00 && unit < 0xE000;
        if (isLow != highSurrogate) return false;
        highSurrogate = isHigh;
    }
    return lineEnds > 0 && lineEnds * 4096 >= units;
}

TextEncoding detectEncoding(std::string_view sample, std::uint64_t fileSize) {
    if (startsWith(sample, kUtf8Bom)) return TextEncoding::Utf8Bom;
    if (startsWith(sample, kUtf16LeBom)) return TextEncoding::Utf16Le;
    if (startsWith(sample, kUtf16BeBom)) return TextEncoding::Utf16Be;
    if (sample.find('\0') != std::string_view::npos) {
        if (readsAsUtf16(sample, false)) return TextEncoding::Utf16LeNoBom;
        if (readsAsUtf16(sample, true)) return TextEncoding::Utf16BeNoBom;
    }
    const bool moreFollows = fileSize > sample.size();
    if (hasHighByte(sample) && isValidUtf8(sample, moreFollows)) return TextEncoding::Utf8;
    return TextEncoding::Gbk;
}

char32_t decodeGbkCharacter(std::string_view text, std::size_t& at) {
    const auto first = static_cast<unsigned char>(text[at]);
    if (kGbkPairs.isLead(first) && at + 1 < text.size() &&
        kGbkPairs.isTrail(static_cast<unsigned char>(text[at + 1]))) {
        const char32_t c = gbkPair(first, static_cast<unsigned char>(text[at + 1]));
        at += 2;
        return c;
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

}  // namespace tovane
