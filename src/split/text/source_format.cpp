#include "split/text/source_format.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "split/text/utf8.h"

namespace tovane {

namespace {

bool hasHighByte(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

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

// The encoding whose byte-order mark `bytes` open with.
std::optional<Encoding> markedEncoding(std::string_view bytes) {
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
        const std::string_view mark = codecOf(encoding).byteOrderMark();
        if (bytes.substr(0, mark.size()) == mark) return encoding;
    }
    return std::nullopt;
}

}  // namespace

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

Encoding detectUnmarkedEncoding(std::string_view sample, bool moreFollows) {
    // GBK text never holds a NUL byte and makes lone surrogates out of its
    // pairs; UTF-8 text that does hold one stays UTF-8.
    const bool isUtf8 = hasHighByte(sample) && utf8::isValid(sample, moreFollows);
    if (!isUtf8 && sample.find('\0') != std::string_view::npos) {
        if (readsAsUtf16(sample, false)) return Encoding::Utf16Le;
        if (readsAsUtf16(sample, true)) return Encoding::Utf16Be;
    }
    return isUtf8 ? Encoding::Utf8 : Encoding::Gbk;
}

std::optional<SourceFormat> detectFormat(const ReadAt& readAt, std::uint64_t fileSize) {
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
            if (const std::optional<Encoding> marked = markedEncoding(piece)) {
                return SourceFormat{*marked, true};
            }
        }
        const std::size_t found = firstTellingByte(piece);
        if (found != std::string_view::npos) {
            telling = (at + found) & ~std::uint64_t{1};
            break;
        }
        at += piece.size();
    }
    if (telling >= fileSize) return SourceFormat{};  // ASCII alone
    const std::int64_t got = readAt(telling, buffer.data(), buffer.size());
    if (got < 0) return std::nullopt;
    const std::string_view sample(buffer.data(), static_cast<std::size_t>(got));
    return SourceFormat{detectUnmarkedEncoding(sample, telling + sample.size() < fileSize), false};
}

SourceFormat detectFormat(std::string_view wholeFile) {
    const auto readAt = [wholeFile](std::uint64_t offset, char* into, std::size_t size) {
        if (offset >= wholeFile.size()) return std::int64_t{0};
        const std::string_view piece = wholeFile.substr(static_cast<std::size_t>(offset), size);
        std::copy(piece.begin(), piece.end(), into);
        return static_cast<std::int64_t>(piece.size());
    };
    return detectFormat(readAt, wholeFile.size()).value_or(SourceFormat{});
}

}  // namespace tovane
