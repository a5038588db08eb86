#include "split/text/utf8_conversion.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "split/text/gb18030.h"

namespace tovane {

namespace {

std::size_t utf8Length(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

std::size_t copy(std::string_view bytes, char* out) {
    std::memcpy(out, bytes.data(), bytes.size());
    return bytes.size();
}

// The bytes of the UTF-8 sequence that `first` begins; 0 for a byte that
// begins none (a continuation byte, an overlong C0/C1, past F4).
std::size_t utf8SequenceLength(unsigned char first) {
    return first >= 0xC2 && first <= 0xDF   ? 2
           : first >= 0xE0 && first <= 0xEF ? 3
           : first >= 0xF0 && first <= 0xF4 ? 4
                                            : 0;
}

constexpr char32_t kBad = 0xFFFFFFFF;    // bytes that make no character
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
                if (left < 4)
                    return left == 3 && (byte(2) < 0x81 || byte(2) == 0xFF) ? kBad : kShort;
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
            const std::size_t length = utf8SequenceLength(first);
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
                return big ? char32_t{byte(i)} << 8 | byte(i + 1)
                           : char32_t{byte(i + 1)} << 8 | byte(i);
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

// The bytes of 64 from `p` whose high bit is set, as bits from the lowest.
std::uint64_t highBytesOf64(const unsigned char* p) {
    std::uint64_t high = 0;
#if defined(__SSE2__)
    for (int k = 0; k < 4; ++k) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        high |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(sixteen))} << (16 * k);
    }
#else
    for (int k = 0; k < 8; ++k) {
        std::uint64_t eight;
        std::memcpy(&eight, p + 8 * k, 8);
        // The eight high bits gathered into the top byte by one multiplication.
        const std::uint64_t gathered =
            ((eight & 0x8080808080808080u) >> 7) * 0x0102040810204080u >> 56;
        high |= gathered << (8 * k);
    }
#endif
    return high;
}

// Whether every two-byte code of the common kind makes three UTF-8 bytes:
// lead and trail both A1..FE, the lead neither A1 nor A6..A8 (rows that
// hold symbols of other lengths and codes that stand for nothing). So the
// build machine's tables have it; looked at once, so that other tables
// are never trusted unseen.
bool commonCodesMakeThreeBytes() {
    static const bool three = [] {
        const std::uint32_t* codes = gb18030CodesInUtf8();
        for (unsigned lead = 0xA2; lead <= 0xFE; ++lead) {
            if (lead >= 0xA6 && lead <= 0xA8) continue;
            for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
                if (codes[trail << 8 | lead] >> 24 != 3) return false;
            }
        }
        return true;
    }();
    return three;
}

// Whether the 64 bytes at `p`, with their high bytes and the leads among
// them, are all characters that convert, each code of the common kind: a
// check that needs no table, for measuring text that is mostly such codes.
bool commonWindow(const unsigned char* p, std::uint64_t high, std::uint64_t leads) {
#if defined(__SSE2__)
    std::uint64_t common = 0;    // A1..FE
    std::uint64_t otherRow = 0;  // A1 and A6..A8
    for (int k = 0; k < 4; ++k) {
        // Flipping the top bit puts A1..FE at 21..7E, in signed bytes.
        const __m128i b = _mm_xor_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k)), _mm_set1_epi8(-128));
        const __m128i inCommon = _mm_and_si128(_mm_cmpgt_epi8(b, _mm_set1_epi8(0x20)),
                                               _mm_cmpgt_epi8(_mm_set1_epi8(0x7F), b));
        const __m128i inOther = _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(0x21)),
                                             _mm_and_si128(_mm_cmpgt_epi8(b, _mm_set1_epi8(0x25)),
                                                           _mm_cmpgt_epi8(_mm_set1_epi8(0x29), b)));
        common |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(inCommon))}
                  << (16 * k);
        otherRow |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(inOther))}
                    << (16 * k);
    }
    // A lead in the last byte has its trail past the window.
    const bool lastTrailCommon = (leads >> 63) == 0 || (p[64] >= 0xA1 && p[64] != 0xFF);
    return (high & ~common) == 0 && ((leads << 1) & ~high) == 0 && (leads & otherRow) == 0 &&
           lastTrailCommon && commonCodesMakeThreeBytes();
#else
    (void)p, (void)high, (void)leads;
    return false;
#endif
}

// Two bytes as the table of codes is indexed: the first in the low byte.
std::size_t twoBytesAt(const unsigned char* p) {
    std::uint16_t word;
    std::memcpy(&word, p, 2);
    return word;
}

// GBK's run. A table holds the UTF-8 of the character two bytes begin with,
// written four bytes at a time (the fourth is overwritten by what follows, or
// lies in the room past the end that every output has).
//
// Text is taken 64 bytes at a time. Where each character starts is read off
// the bytes' high bits rather than found one character after another, so
// that a line of Chinese with ASCII between keeps no branch guessing. A run
// of high bytes always starts a character (the byte before it is ASCII or a
// trail); its bytes pair off from its start, and a run of odd length ends in
// a lead whose trail is the low byte after it. A code the table doesn't hold
// (a four-byte one, or bytes that are none) ends the run where it starts.
template <bool kWrite>
[[gnu::always_inline]] inline std::size_t doubleByteRunOn(const unsigned char* p, std::size_t size,
                                                          std::size_t& at, char* to) {
    static_assert(std::endian::native == std::endian::little, "the table's words are in order");
    const std::uint32_t* codes = gb18030CodesInUtf8();
    const auto put = [&](std::size_t made, std::uint32_t utf8) {
        if constexpr (kWrite) std::memcpy(to + made, &utf8, 4);
    };
    constexpr std::uint64_t kEven = 0x5555555555555555u;
    std::size_t made = 0;
    std::size_t i = at;
    while (size - i > 64) {  // the last character may take the 65th byte
        const std::uint64_t high = highBytesOf64(p + i);
        if (high == 0) {
            if constexpr (kWrite) std::memcpy(to + made, p + i, 64);
            made += 64;
            i += 64;
            continue;
        }
        const std::uint64_t runStarts = high & ~(high << 1);
        // Adding a run's first bit carries through the run and clears it.
        const std::uint64_t oddStartedRuns = high & ~(high + (runStarts & ~kEven));
        const std::uint64_t leads = (oddStartedRuns & ~kEven) | (high & ~oddStartedRuns & kEven);
        if constexpr (!kWrite) {
            // Measured whole: each pair makes one byte more than it takes.
            if (commonWindow(p + i, high, leads)) {
                made += 64 + (leads >> 63) + static_cast<std::size_t>(std::popcount(leads));
                i += 64 + (leads >> 63);
                continue;
            }
        }
        const std::uint64_t starts = leads | (~high & ~(leads << 1));
        for (std::uint64_t left = starts; left != 0; left &= left - 1) {
            const auto k = static_cast<std::size_t>(std::countr_zero(left));
            const std::uint32_t utf8 = codes[twoBytesAt(p + i + k)];
            if (utf8 == 0) {
                at = i + k;
                return made;
            }
            put(made, utf8);
            made += utf8 >> 24;
        }
        i += 64 + (leads >> 63);
    }
    while (i < size) {
        const unsigned char first = p[i];
        if (first < 0x80) {
            if constexpr (kWrite) to[made] = static_cast<char>(first);
            ++made;
            ++i;
            continue;
        }
        if (i + 1 >= size) break;
        const std::uint32_t utf8 = codes[twoBytesAt(p + i)];
        if (utf8 == 0) break;
        put(made, utf8);
        made += utf8 >> 24;
        i += 2;
    }
    at = i;
    return made;
}

// The same compiled for processors that find and clear the lowest bit of a
// word and count its bits in one instruction each (BMI, POPCNT), as most
// made since 2013 do; the steps over a window's characters are most of the
// work.
#if defined(__x86_64__) && defined(__GNUC__)
template <bool kWrite>
[[gnu::target("bmi,popcnt")]] std::size_t doubleByteRunBmi(const unsigned char* p, std::size_t size,
                                                           std::size_t& at, char* to) {
    return doubleByteRunOn<kWrite>(p, size, at, to);
}
#endif

template <bool kWrite>
std::size_t doubleByteRun(const unsigned char* p, std::size_t size, std::size_t& at, char* to) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool bmi = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    if (bmi) return doubleByteRunBmi<kWrite>(p, size, at, to);
#endif
    return doubleByteRunOn<kWrite>(p, size, at, to);
}

// The characters at bytes[at] that convert without a question, as many as
// follow one another: ASCII, two-byte codes of the plane, UTF-8 sequences
// that are whole and valid, UTF-16 units that are no surrogates. Moves `at`
// past them and writes them at `to` (when not null), returning the UTF-8
// bytes they make; stops at the first character that needs next().
std::size_t fastRun(CharacterForm form, bool bigEndian, std::string_view bytes, std::size_t& at,
                    char* to) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t made = 0;
    switch (form) {
        case CharacterForm::DoubleByte:
            return to != nullptr ? doubleByteRun<true>(p, size, at, to)
                                 : doubleByteRun<false>(p, size, at, to);
        case CharacterForm::Utf8: {
            const std::size_t start = at;
            while (at < size) {
                const unsigned char first = p[at];
                if (first < 0x80) {
                    ++at;
                    continue;
                }
                const std::size_t length = utf8SequenceLength(first);
                if (length == 0 || at + length > size) break;
                // The second byte's range keeps out overlong forms, surrogates
                // and code points past U+10FFFF.
                const unsigned char second = p[at + 1];
                const unsigned char low = first == 0xE0 ? 0xA0 : first == 0xF0 ? 0x90 : 0x80;
                const unsigned char high = first == 0xED ? 0x9F : first == 0xF4 ? 0x8F : 0xBF;
                bool whole = second >= low && second <= high;
                for (std::size_t i = 2; i < length; ++i)
                    whole = whole && (p[at + i] & 0xC0) == 0x80;
                if (!whole) break;
                at += length;
            }
            if (to != nullptr) std::memcpy(to, p + start, at - start);
            return at - start;
        }
        case CharacterForm::Utf16: {
            while (at + 1 < size) {
                const char32_t unit =
                    bigEndian ? char32_t{p[at]} << 8 | p[at + 1] : char32_t{p[at + 1]} << 8 | p[at];
                if (unit >= 0xD800 && unit < 0xE000) break;
                if (to != nullptr) {
                    made += putUtf8(unit, to + made);
                } else {
                    made += utf8Length(unit);
                }
                at += 2;
            }
            return made;
        }
    }
    return made;
}

}  // namespace

// Converts whole characters from the start of `bytes`, or only measures them
// when `out` is null; `used` says how far it got. A character cut off at
// the end stops it, unless `atEnd`.
std::int64_t Utf8Conversion::convertWhole(std::string_view bytes, char* out, std::size_t& used,
                                          bool atEnd) {
    const EncodingFacts& facts = factsOf(from_);
    std::size_t at = 0;
    std::size_t made = 0;
    while (at < bytes.size()) {
        made +=
            fastRun(facts.form, facts.bigEndian, bytes, at, out == nullptr ? nullptr : out + made);
        if (at == bytes.size()) break;
        const std::size_t start = at;
        const char32_t c = next(from_, bytes, at);
        if (c == kShort && !atEnd) break;
        if (c == kBad || c == kShort) {
            badAt_ = start;
            used = start;
            return -1;
        }
        made += out == nullptr ? utf8Length(c)
                : facts.form == CharacterForm::Utf8
                    ? copy(bytes.substr(start, at - start), out + made)
                    : putUtf8(c, out + made);
    }
    used = at;
    return static_cast<std::int64_t>(made);
}

std::int64_t Utf8Conversion::convert(std::string_view bytes, char* out) {
    std::size_t made = 0;
    std::size_t from = 0;
    if (heldLength_ > 0) {
        // The character held back, finished with the first new bytes.
        char joined[8];
        std::memcpy(joined, held_, heldLength_);
        const std::size_t added = std::min<std::size_t>(bytes.size(), 4);
        std::memcpy(joined + heldLength_, bytes.data(), added);
        const std::string_view start(joined, heldLength_ + added);
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
        made = out == nullptr                               ? utf8Length(c)
               : factsOf(from_).form == CharacterForm::Utf8 ? copy(start.substr(0, at), out)
                                                            : putUtf8(c, out);
        from = at - heldLength_;
        heldLength_ = 0;
    }
    std::size_t used = 0;
    const std::int64_t produced =
        convertWhole(bytes.substr(from), out == nullptr ? nullptr : out + made, used, false);
    if (produced < 0) {
        badAt_ += given_ + from;
        return -1;
    }
    given_ += bytes.size();
    heldLength_ = bytes.size() - from - used;
    std::memcpy(held_, bytes.data() + from + used, heldLength_);
    return static_cast<std::int64_t>(made) + produced;
}

int Utf8Conversion::characterAt(TextEncoding from, std::string_view bytes, std::size_t& length) {
    std::size_t at = 0;
    const char32_t c = next(from, bytes, at);
    if (c == kBad || c == kShort) return -1;
    length = at;
    return static_cast<int>(utf8Length(c));
}

std::int64_t Utf8Conversion::lengthOf(TextEncoding from, std::string_view line,
                                      std::size_t& badAt) {
    Utf8Conversion measure(from);
    std::size_t used = 0;
    const std::int64_t length = measure.convertWhole(line, nullptr, used, true);
    if (length < 0) badAt = static_cast<std::size_t>(measure.badAt_);
    return length;
}

}  // namespace tovane
