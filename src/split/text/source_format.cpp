#include "split/text/source_format.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <string>

#include "split/text/utf8.h"

namespace tovane {

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

// The encoding whose byte-order mark `bytes` open with.
std::optional<Encoding> markedEncoding(std::string_view bytes) {
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
        const std::string_view mark = codecOf(encoding).byteOrderMark();
        if (bytes.substr(0, mark.size()) == mark) return encoding;
    }
    return std::nullopt;
}

}  // namespace

Utf8Tally tallyUtf8(std::string_view sample) {
    const auto* p = reinterpret_cast<const unsigned char*>(sample.data());
    const std::size_t n = sample.size();
    Utf8Tally tally;
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8::sequenceLength(c);
        if (length == 0) {
            ++tally.invalid;
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k < length; ++k) {
            if (i + k >= n) return tally;  // cut off by the sample's end: not counted
            const unsigned char t = p[i + k];
            const bool fits =
                k == 1 ? t >= utf8::secondLow(c) && t <= utf8::secondHigh(c) : (t & 0xC0) == 0x80;
            if (!fits) break;
        }
        if (k == length) {
            ++tally.valid;
        } else {
            ++tally.invalid;  // the longest start of a sequence is one subpart
        }
        i += k;
    }
    return tally;
}

bool readsAsUtf16(std::string_view sample, bool bigEndian) {
    const std::size_t units = sample.size() / 2;
    const std::size_t loneAllowed = std::max<std::size_t>(1, units / 1000);
    std::size_t lone = 0;
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
        if (highSurrogate && !isLow) ++lone;  // a high one without its low one
        if (isLow && !highSurrogate) ++lone;  // a low one alone
        highSurrogate = isHigh;
    }
    return lineEnd && lone <= loneAllowed;
}

namespace {

// The two-byte codes of `characters` (UTF-8) in `codec`, as a set.
std::bitset<0x10000> codesOf(std::string_view characters, const Codec& codec) {
    std::bitset<0x10000> codes;
    for (std::size_t at = 0; at < characters.size();) {
        const std::string bytes = codec.encode(utf8Codec().decode(characters, at));
        if (bytes.size() == 2) {
            codes[unsigned{static_cast<unsigned char>(bytes[0])} << 8 |
                  static_cast<unsigned char>(bytes[1])] = true;
        }
    }
    return codes;
}

}  // namespace

bool readsAsBig5(std::string_view sample) {
    // Sixty of the commonest characters, simplified in GBK and traditional in
    // Big5: a book in either holds many of its own set and few of the other's.
    static const std::bitset<0x10000> simplified = codesOf(
        "的一是不了在人有我他这个们中来上大为和国地到以说时要就出会可也你对生能而子那得于着下自之年"
        "过发后作里她道看没心还好天都用",
        gbkCodec());
    static const std::bitset<0x10000> traditional = codesOf(
        "的一是不了在人有我他這個們中來上大為和國地到以說時要就出會可也你對生能而子那得於著下自之年"
        "過發後作裡她道看沒心還好天都用",
        big5Codec());
    const auto* p = reinterpret_cast<const unsigned char*>(sample.data());
    const std::size_t n = sample.size();
    const auto lead = [](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
    const auto digit = [](unsigned char c) { return c >= 0x30 && c <= 0x39; };
    const auto trail = [](unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; };
    std::size_t s = 0;
    std::size_t t = 0;
    // Characters as GBK has them, its four-byte ones included.
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (lead(c) && i + 3 < n && digit(p[i + 1]) && lead(p[i + 2]) && digit(p[i + 3])) {
            i += 4;
        } else if (lead(c) && i + 1 < n && trail(p[i + 1])) {
            const unsigned code = unsigned{c} << 8 | p[i + 1];
            s += simplified[code];
            t += traditional[code];
            i += 2;
        } else {
            ++i;
        }
    }
    return t >= 16 && t > 2 * s;
}

Encoding detectUnmarkedEncoding(std::string_view sample) {
    const Utf8Tally utf8 = tallyUtf8(sample);
    if (utf8.valid > 0 && utf8.invalid * 100 <= utf8.valid) return Encoding::Utf8;
    // GBK and Big5 text never hold a NUL byte.
    if (sample.find('\0') != std::string_view::npos) {
        if (readsAsUtf16(sample, false)) return Encoding::Utf16Le;
        if (readsAsUtf16(sample, true)) return Encoding::Utf16Be;
    }
    return readsAsBig5(sample) ? Encoding::Big5 : Encoding::Gbk;
}

std::optional<SourceFormat> detectFormat(const ReadAt& readAt, std::uint64_t fileSize,
                                         std::optional<Encoding> asked) {
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
            if (asked) return SourceFormat{*asked, false};
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
    return SourceFormat{detectUnmarkedEncoding(sample), false};
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
