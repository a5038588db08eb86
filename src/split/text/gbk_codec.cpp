// GBK, read as GB18030, the national standard it is a part of: a byte below
// 0x80 alone, a lead byte (0x81..0xFE) and a trail byte (0x40..0xFE but
// 0x7F), or the four bytes lead, digit, lead, digit. A byte that makes no
// character is one of its own for counting and cutting; converting refuses it.
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "split/text/codec.h"
#include "split/text/double_byte.h"
#include "split/text/gb18030.h"
#include "split/text/utf8.h"

namespace tovane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

using double_byte::isLead;
using double_byte::isTrail;
bool isDigit(unsigned char c) {
    return c >= 0x30 && c <= 0x39;
}

// Where the bytes stand since the last certain character boundary: a lead
// byte may open a pair (lead, trail) or a four-byte character (lead, digit,
// lead, digit).
enum Pending : unsigned {
    kAtBoundary,
    kAfterLead,          // L: a trail makes a pair, a digit may go on to four bytes
    kAfterLeadDigit,     // L D: so far two characters of their own
    kAfterLeadDigitLead  // L D L: a digit makes the four one character, a trail a pair
};

// Every byte counts as it comes but a trail that closes a pair; the digit
// that closes a four-byte character takes back the two counted for the
// digit and lead before it. Boundaries are marked as if every byte that
// closes no pair were a character; a four-byte character, once complete,
// takes back those inside it. `kMark`: boundaries are wanted too.
struct GbkSteps {
    template <bool kMark>
    static void over(Codec::WalkState& s, std::string_view bytes);
};

template <bool kMark>
void GbkSteps::over(Codec::WalkState& s, std::string_view bytes) {
    for (char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const std::uint64_t at = s.fed++;
        const bool lead = isLead(c);
        if (s.pending == kAfterLead || s.pending == kAfterLeadDigitLead) {
            if (isTrail(c)) {
                s.pending = kAtBoundary;
                if constexpr (kMark) s.mark(s.fed);
                continue;
            }
            if (isDigit(c) && s.pending == kAfterLeadDigitLead) {
                s.pending = kAtBoundary;
                s.characters -= 2;
                if constexpr (kMark) {
                    s.lastBoundary = s.beforeLead;
                    s.mark(s.fed);
                }
                continue;
            }
            if (isDigit(c)) {
                s.pending = kAfterLeadDigit;
                ++s.characters;
                if constexpr (kMark) {
                    s.mark(at);
                    s.mark(s.fed);
                }
                continue;
            }
        } else if (s.pending == kAfterLeadDigit && lead) {
            s.pending = kAfterLeadDigitLead;
            ++s.characters;
            if constexpr (kMark) s.mark(at);
            continue;
        }
        ++s.characters;
        s.pending = lead ? kAfterLead : kAtBoundary;
        if constexpr (kMark) {
            s.mark(at);
            if (lead) s.beforeLead = s.lastBoundary;
            if (!lead) s.mark(s.fed);
        }
    }
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

// A table holds the UTF-8 of the character two bytes begin with, written four
// bytes at a time (the fourth is overwritten by what follows, or lies in the
// room past the end that every output has).
//
// Text is taken 64 bytes at a time. Where each character starts is read off
// the bytes' high bits rather than found one character after another, so
// that a line of Chinese with ASCII between keeps no branch guessing. A run
// of high bytes always starts a character (the byte before it is ASCII or a
// trail); its bytes pair off from its start, and a run of odd length ends in
// a lead whose trail is the low byte after it. A code the table doesn't hold
// (a four-byte one, or bytes that are none) ends the run where it starts.
template <bool kWrite>
[[gnu::always_inline]] inline std::size_t runOn(const unsigned char* p, std::size_t size,
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
[[gnu::target("bmi,popcnt")]] std::size_t runBmi(const unsigned char* p, std::size_t size,
                                                 std::size_t& at, char* to) {
    return runOn<kWrite>(p, size, at, to);
}
#endif

template <bool kWrite>
std::size_t run(const unsigned char* p, std::size_t size, std::size_t& at, char* to) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool bmi = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    if (bmi) return runBmi<kWrite>(p, size, at, to);
#endif
    return runOn<kWrite>(p, size, at, to);
}

class GbkCodec final : public ByteCodec<GbkSteps> {
public:
    GbkCodec() : ByteCodec({Encoding::Gbk, "GBK", 1, false, "\r\n", "", 4}) {}

    char32_t decode(std::string_view text, std::size_t& at) const override {
        const auto first = static_cast<unsigned char>(text[at]);
        const auto byte = [&](std::size_t i) -> unsigned char {
            return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
        };
        if (isLead(first) && isDigit(byte(1)) && isLead(byte(2)) && isDigit(byte(3))) {
            const char32_t c = gb18030FourByte(first, byte(1), byte(2), byte(3));
            at += 4;
            return c != 0 ? c : kReplacement;
        }
        if (isLead(first) && at + 1 < text.size() && isTrail(byte(1))) {
            const char32_t c = gb18030Pair(first, byte(1));
            at += 2;
            return c != 0 ? c : kReplacement;
        }
        ++at;
        return first < 0x80 ? first : kReplacement;
    }

    std::string encode(char32_t c) const override {
        if (c < 0x80) return std::string(1, static_cast<char>(c));
        if (const std::uint16_t pair = gb18030PairOf(c)) {
            return {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
        }
        return {};
    }

    Character read(std::string_view bytes, std::size_t at) const override {
        using Kind = Character::Kind;
        const std::size_t left = bytes.size() - at;
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
        const unsigned char first = byte(0);
        if (first < 0x80) return {Kind::Whole, first, 1};
        if (first == 0x80 || first == 0xFF) return {};
        if (left < 2) return {Kind::Cut};
        if (isDigit(byte(1))) {
            if (left < 4) {
                const bool bad = left == 3 && (byte(2) < 0x81 || byte(2) == 0xFF);
                return {bad ? Kind::Invalid : Kind::Cut};
            }
            const char32_t c = gb18030FourByte(first, byte(1), byte(2), byte(3));
            if (c == 0) return {};
            return {Kind::Whole, c, 4};
        }
        const char32_t c = gb18030Pair(first, byte(1));
        if (c == 0) return {};
        return {Kind::Whole, c, 2};
    }

    std::size_t toUtf8(std::string_view bytes, std::size_t& at, char* to) const override {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        return to != nullptr ? run<true>(p, bytes.size(), at, to)
                             : run<false>(p, bytes.size(), at, to);
    }
};

}  // namespace

const Codec& gbkCodec() {
    static const GbkCodec codec;
    return codec;
}

}  // namespace tovane
