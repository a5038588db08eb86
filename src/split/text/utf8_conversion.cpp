#include "split/text/utf8_conversion.h"

#include <cstring>

#include "split/text/gb18030.h"

namespace tovane {

namespace {

std::size_t put(char32_t c, char* out) {
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

constexpr char32_t kBad = 0xFFFFFFFF;   // bytes that make no character
constexpr char32_t kShort = 0xFFFFFFFE;  // a character the end cuts off

// The character at bytes[at] in the source's encoding, moving `at` past it.
char32_t next(TextEncoding from, std::string_view bytes, std::size_t& at) {
    const std::size_t left = bytes.size() - at;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    switch (factsOf(from).form) {
        case CharacterForm::DoubleByte: {
            const unsigned char first = byte(0);
            if (first < 0x80) {
                ++at;
                return first;
            }
            if (first == 0x80 || first == 0xFF) return kBad;
            if (left < 2) return kShort;
            if (byte(1) >= 0x30 && byte(1) <= 0x39) {
                if (left < 4) return left == 3 && (byte(2) < 0x81 || byte(2) == 0xFF) ? kBad : kShort;
                const char32_t c = gb18030FourByte(first, byte(1), byte(2), byte(3));
                if (c == 0) return kBad;
                at += 4;
                return c;
            }
            const char32_t c = gb18030Pair(first, byte(1));
            if (c == 0) return kBad;
            at += 2;
            return c;
        }
        case CharacterForm::Utf8: {
            const unsigned char first = byte(0);
            if (first < 0x80) {
                ++at;
                return first;
            }
            const std::size_t length = first >= 0xC2 && first <= 0xDF   ? 2
                                       : first >= 0xE0 && first <= 0xEF ? 3
                                       : first >= 0xF0 && first <= 0xF4 ? 4
                                                                        : 0;
            if (length == 0) return kBad;
            if (!isValidUtf8(bytes.substr(at, length), true)) return kBad;
            if (left < length) return kShort;
            char32_t c = first & (0x7Fu >> length);
            for (std::size_t i = 1; i < length; ++i) c = c << 6 | (byte(i) & 0x3Fu);
            at += length;
            return c;
        }
        case CharacterForm::Utf16: {
            const bool big = factsOf(from).bigEndian;
            const auto unit = [&](std::size_t i) -> char32_t {
                return big ? char32_t{byte(i)} << 8 | byte(i + 1) : char32_t{byte(i + 1)} << 8 | byte(i);
            };
            if (left < 2) return kShort;
            const char32_t first = unit(0);
            if (first >= 0xDC00 && first < 0xE000) return kBad;
            if (first < 0xD800 || first >= 0xE000) {
                at += 2;
                return first;
            }
            if (left < 4) return kShort;
            const char32_t second = unit(2);
            if (second < 0xDC00 || second >= 0xE000) return kBad;
            at += 4;
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }
    }
    return kBad;
}

}  // namespace

// Converts whole characters from the start of `bytes`; `used` says how far it
// got. A character cut off at the end stops it, unless `atEnd`.
std::int64_t Utf8Conversion::convertWhole(std::string_view bytes, char* out, std::size_t& used,
                                          bool atEnd) {
    const bool utf8 = factsOf(from_).form == CharacterForm::Utf8;
    std::size_t at = 0;
    char* to = out;
    while (at < bytes.size()) {
        // Runs of ASCII go straight across.
        std::size_t ascii = at;
        while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80 &&
               factsOf(from_).unit == 1) {
            ++ascii;
        }
        if (ascii > at) {
            std::memcpy(to, bytes.data() + at, ascii - at);
            to += ascii - at;
            at = ascii;
            continue;
        }
        const std::size_t start = at;
        const char32_t c = next(from_, bytes, at);
        if (c == kShort && !atEnd) break;
        if (c == kBad || c == kShort) {
            badAt_ = start;
            used = start;
            return -1;
        }
        if (utf8) {
            std::memcpy(to, bytes.data() + start, at - start);
            to += at - start;
        } else {
            to += put(c, to);
        }
    }
    used = at;
    return to - out;
}

std::int64_t Utf8Conversion::convert(std::string_view bytes, char* out) {
    char* to = out;
    std::size_t from = 0;
    if (heldLength_ > 0) {
        // The character held back, finished with the first new bytes.
        char joined[8];
        std::memcpy(joined, held_, heldLength_);
        const std::size_t added = std::min<std::size_t>(bytes.size(), 4);
        std::memcpy(joined + heldLength_, bytes.data(), added);
        std::size_t used = 0;
        const std::string_view start(joined, heldLength_ + added);
        char first[4];
        std::size_t at = 0;
        const char32_t c = next(from_, start, at);
        if (c == kBad) {
            badAt_ = given_ - heldLength_;
            return -1;
        }
        if (c == kShort) {
            std::memcpy(held_ + heldLength_, bytes.data(), added);
            heldLength_ += added;
            given_ += bytes.size();
            return 0;
        }
        used = at - heldLength_;
        if (factsOf(from_).form == CharacterForm::Utf8) {
            std::memcpy(to, joined, at);
            to += at;
        } else {
            const std::size_t n = put(c, first);
            std::memcpy(to, first, n);
            to += n;
        }
        heldLength_ = 0;
        from = used;
    }
    std::size_t used = 0;
    const std::int64_t produced = convertWhole(bytes.substr(from), to, used, false);
    if (produced < 0) {
        badAt_ += given_ + from;
        return -1;
    }
    given_ += bytes.size();
    heldLength_ = bytes.size() - from - used;
    std::memcpy(held_, bytes.data() + from + used, heldLength_);
    return to - out + produced;
}

int Utf8Conversion::characterAt(TextEncoding from, std::string_view bytes, std::size_t& length) {
    std::size_t at = 0;
    const char32_t c = next(from, bytes, at);
    if (c == kBad || c == kShort) return -1;
    length = at;
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

std::int64_t Utf8Conversion::lengthOf(TextEncoding from, std::string_view line, std::size_t& badAt) {
    std::uint64_t length = 0;
    for (std::size_t at = 0; at < line.size();) {
        if (factsOf(from).unit == 1 && static_cast<unsigned char>(line[at]) < 0x80) {
            ++at;
            ++length;
            continue;
        }
        const std::size_t start = at;
        const char32_t c = next(from, line, at);
        if (c == kBad || c == kShort) {
            badAt = start;
            return -1;
        }
        length += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    }
    return static_cast<std::int64_t>(length);
}

}  // namespace tovane
