#include "split/text/text_encoding.h"

namespace tovane {

namespace {

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

TextEncoding detectEncoding(std::string_view sample, std::uint64_t fileSize) {
    if (startsWith(sample, kUtf8Bom)) return TextEncoding::Utf8Bom;
    if (startsWith(sample, kUtf16LeBom)) return TextEncoding::Utf16Le;
    if (startsWith(sample, kUtf16BeBom)) return TextEncoding::Utf16Be;
    const bool moreFollows = fileSize > sample.size();
    if (hasHighByte(sample) && isValidUtf8(sample, moreFollows)) return TextEncoding::Utf8;
    return TextEncoding::Gbk;
}

std::string_view byteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom:
            return kUtf8Bom;
        case TextEncoding::Utf16Le:
            return kUtf16LeBom;
        case TextEncoding::Utf16Be:
            return kUtf16BeBom;
        case TextEncoding::Gbk:
        case TextEncoding::Utf8:
            break;
    }
    return {};
}

std::size_t codeUnitSize(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? 2 : 1;
}

std::string_view lineBreak(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf16Le:
            return {"\r\0\n\0", 4};
        case TextEncoding::Utf16Be:
            return {"\0\r\0\n", 4};
        case TextEncoding::Gbk:
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            break;
    }
    return "\r\n";
}

}  // namespace tovane
