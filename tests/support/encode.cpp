#include "support/encode.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tovane::test {

namespace {

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        char32_t value = length == 1 ? char32_t{c} : char32_t{c} & (0x3Fu >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            value = value << 6 | (char32_t{static_cast<unsigned char>(text[i + k])} & 0x3Fu);
        }
        out += value;
        i += length;
    }
    return out;
}

std::string toGbk(std::string_view utf8) {
#ifdef _WIN32
    // Wine's Windows has no GB18030 code page: the characters past the Basic
    // Multilingual Plane take the standard's four-byte codes, the rest GBK's.
    std::string out;
    for (char32_t c : decodeUtf8(utf8)) {
        if (c >= 0x10000) {
            const char32_t p = c - 0x10000;
            out += {static_cast<char>(0x90 + p / 12600), static_cast<char>(0x30 + p / 1260 % 10),
                    static_cast<char>(0x81 + p / 10 % 126), static_cast<char>(0x30 + p % 10)};
            continue;
        }
        const wchar_t wide = static_cast<wchar_t>(c);
        char bytes[4];
        BOOL lost = FALSE;
        const int size = ::WideCharToMultiByte(936, 0, &wide, 1, bytes, 4, nullptr, &lost);
        if (size <= 0 || lost) throw std::runtime_error("no GBK for the test text");
        out.append(bytes, static_cast<std::size_t>(size));
    }
    return out;
#else
    const std::optional<std::string> out = iconvFromTo("UTF-8", "GB18030", utf8);
    if (!out) throw std::runtime_error("no GBK for the test text");
    return *out;
#endif
}

// Windows' Big5, code page 950, as the system's converter has it.
std::string toBig5(std::string_view utf8) {
#ifdef _WIN32
    std::string out;
    for (char32_t c : decodeUtf8(utf8)) {
        const wchar_t wide = static_cast<wchar_t>(c);
        char bytes[4];
        BOOL lost = FALSE;
        const int size = ::WideCharToMultiByte(950, 0, &wide, 1, bytes, 4, nullptr, &lost);
        if (size <= 0 || lost) throw std::runtime_error("no Big5 for the test text");
        out.append(bytes, static_cast<std::size_t>(size));
    }
    return out;
#else
    const std::optional<std::string> out = iconvFromTo("UTF-8", "CP950", utf8);
    if (!out) throw std::runtime_error("no Big5 for the test text");
    return *out;
#endif
}

}  // namespace

#ifndef _WIN32
std::optional<std::string> iconvFromTo(const char* from, const char* to, std::string_view bytes) {
    iconv_t converter = ::iconv_open(to, from);
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* at = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = ::iconv(converter, &in, &inLeft, &at, &outLeft);
    ::iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}
#endif

std::string encode(std::string_view utf8, Encoding encoding) {
    switch (encoding) {
        case Encoding::Gbk:
            return toGbk(utf8);
        case Encoding::Big5:
            return toBig5(utf8);
        case Encoding::Utf8:
            return std::string(utf8);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            break;
    }
    std::string out;
    for (char32_t c : decodeUtf8(utf8)) {
        const auto push = [&](char32_t unit) {
            const auto high = static_cast<char>(unit >> 8);
            const auto low = static_cast<char>(unit & 0xFF);
            out += codecOf(encoding).bigEndian() ? std::string{high, low} : std::string{low, high};
        };
        if (c >= 0x10000) {
            push(0xD800 + ((c - 0x10000) >> 10));
            push(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            push(c);
        }
    }
    return out;
}

}  // namespace tovane::test
