#include "split/text/crlf_scan.h"

#include <cstring>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace tovane {

namespace {

// Sixteen bytes at a time with the compiler's portable vector types: SSE2 on
// any x86-64, NEON on ARM, plain code elsewhere.
typedef char Bytes16 __attribute__((vector_size(16)));
typedef std::uint16_t Units8 __attribute__((vector_size(16)));

constexpr bool kLittleEndianHost = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

template <typename Vector>
inline Vector loadVector(const char* p) {
    Vector v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename Vector>
inline bool anySet(Vector v) {
    std::uint64_t halves[2];
    std::memcpy(halves, &v, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

template <typename Vector, typename Unit>
inline Vector splat(Unit value) {
    Vector v = {};
    return v + static_cast<Unit>(value);
}

// The scans below work on units as the host reads them: bytes, or 16-bit
// words whose CR and LF values were byte-swapped for the file's order.
template <typename Unit>
inline Unit unitAt(const char* p) {
    Unit u;
    std::memcpy(&u, p, sizeof u);
    return u;
}

template <typename Unit, typename Vector>
std::size_t findEither(const char* p, std::size_t n, Unit a, Unit b) {
    constexpr std::size_t kUnit = sizeof(Unit);
    const Vector va = splat<Vector>(a);
    const Vector vb = splat<Vector>(b);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const Vector x = loadVector<Vector>(p + i);
        const Vector y = loadVector<Vector>(p + i + 16);
        if (anySet((x == va) | (x == vb) | (y == va) | (y == vb))) break;
    }
    for (; i + kUnit <= n; i += kUnit) {
        const Unit u = unitAt<Unit>(p + i);
        if (u == a || u == b) return i;
    }
    return CrlfScan::kNotFound;
}

template <typename Unit, typename Vector>
std::size_t findLast(const char* p, std::size_t n, Unit value) {
    constexpr std::size_t kUnit = sizeof(Unit);
    const Vector v = splat<Vector>(value);
    std::size_t end = n - n % kUnit;
    while (end >= 16 && !anySet(loadVector<Vector>(p + end - 16) == v)) end -= 16;
    for (std::size_t i = end; i >= kUnit; i -= kUnit) {
        if (unitAt<Unit>(p + i - kUnit) == value) return i - kUnit;
    }
    return CrlfScan::kNotFound;
}

// The first pair of neighbouring units where one is the CR of a CR LF and
// the other isn't its LF: where (unit i is CR) != (unit i+1 is LF).
template <typename Unit, typename Vector>
std::size_t findUnpaired(const char* p, std::size_t n, Unit cr, Unit lf) {
    constexpr std::size_t kUnit = sizeof(Unit);
    const Vector vcr = splat<Vector>(cr);
    const Vector vlf = splat<Vector>(lf);
    std::size_t i = 0;
    // Four blocks are tested together so the loop rarely branches.
    for (; i + 64 + kUnit <= n; i += 64) {
        Vector bad = {};
        for (std::size_t k = 0; k < 64; k += 16) {
            bad |= (loadVector<Vector>(p + i + k) == vcr) ^
                   (loadVector<Vector>(p + i + k + kUnit) == vlf);
        }
        if (anySet(bad)) break;
    }
    for (; i + 2 * kUnit <= n; i += kUnit) {
        const bool isCr = unitAt<Unit>(p + i) == cr;
        const bool nextIsLf = unitAt<Unit>(p + i + kUnit) == lf;
        if (isCr != nextIsLf) return isCr ? i : i + kUnit;
    }
    return n;
}

#ifdef __SSE2__
// One pass over bytes for the common case, lines ending in LF alone: sixteen
// bytes at a time are copied out and looked at for a CR or LF in the same
// go. Bytes copied past a line that then doesn't fit are simply not counted.
CrlfScan::Copied copyByteLinesAsCrLf(const char* in, std::size_t n, char* out, std::size_t capacity,
                                     std::uint64_t room, bool withLineBreaks) {
    const std::size_t extra = withLineBreaks ? 2 : 0;
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    CrlfScan::Copied copied;
    std::size_t at = 0;  // where the search for the current line's end goes on
    while (true) {
        const std::size_t start = copied.consumed;
        char* line = out + copied.produced;
        // Room to copy the line so far, sixteen bytes ahead, and its CR LF.
        const std::size_t space = capacity - copied.produced;
        std::size_t end = CrlfScan::kNotFound;
        while (at + 16 <= n && at - start + 18 <= space) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(line + (at - start)), v);
            const int mask =
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
            if (mask != 0) {
                end = at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
                break;
            }
            at += 16;
        }
        if (end == CrlfScan::kNotFound) {
            // The last bytes in view, one at a time.
            for (; at < n && at - start + 2 < space; ++at) {
                line[at - start] = in[at];
                if (in[at] == '\r' || in[at] == '\n') {
                    end = at;
                    break;
                }
            }
            if (end == CrlfScan::kNotFound) break;
        }
        std::size_t terminator = 1;
        if (in[end] == '\r') {
            if (end + 1 >= n) break;  // an LF may follow out of view
            if (in[end + 1] == '\n') terminator = 2;
        }
        const std::size_t length = end - start;
        if (copied.produced > room || length + extra > room - copied.produced) break;
        if (length + 2 > space) break;
        line[length] = '\r';
        line[length + 1] = '\n';
        copied.produced += length + 2;
        copied.consumed = end + terminator;
        at = copied.consumed;
    }
    return copied;
}
#endif

}  // namespace

CrlfScan::CrlfScan(const Codec& codec) : unit_(codec.unit()) {
    if (unit_ == 1) {
        cr_ = '\r';
        lf_ = '\n';
        return;
    }
    const bool sameOrder = codec.bigEndian() != kLittleEndianHost;
    cr_ = sameOrder ? 0x000D : 0x0D00;
    lf_ = sameOrder ? 0x000A : 0x0A00;
}

std::uint16_t CrlfScan::load(const char* unit) const {
    if (unit_ == 1) return static_cast<unsigned char>(*unit);
    return unitAt<std::uint16_t>(unit);
}

#ifdef __SSE2__
namespace {

// Bytes, sixteen at a time, with the position of the first hit read off a
// bit mask: the common case, run once for every line.
std::size_t findEitherByte16(const char* p, std::size_t n) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
    for (; i < n; ++i) {
        if (p[i] == '\r' || p[i] == '\n') return i;
    }
    return CrlfScan::kNotFound;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same thirty-two bytes at a time, where the processor has AVX2: every
// byte of the file passes through these two scans.
__attribute__((target("avx2"))) std::size_t findEitherByte32(const char* p, std::size_t n) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_cmpeq_epi8(v, cr), _mm256_cmpeq_epi8(v, lf))));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    const std::size_t rest = findEitherByte16(p + i, n - i);
    return rest == CrlfScan::kNotFound ? rest : i + rest;
}

// Where a CR isn't followed by an LF or an LF isn't preceded by a CR: bit i of
// the CR mask must be bit i + 1 of the LF mask.
__attribute__((target("avx2"))) std::size_t findUnpairedByte32(const char* p, std::size_t n) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    std::size_t i = 0;
    for (; i + 64 + 1 <= n; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 1));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 33));
        const __m256i bad =
            _mm256_or_si256(_mm256_xor_si256(_mm256_cmpeq_epi8(a, cr), _mm256_cmpeq_epi8(a1, lf)),
                            _mm256_xor_si256(_mm256_cmpeq_epi8(b, cr), _mm256_cmpeq_epi8(b1, lf)));
        if (!_mm256_testz_si256(bad, bad)) break;
    }
    for (; i + 2 <= n; ++i) {
        const bool isCr = p[i] == '\r';
        const bool nextIsLf = p[i + 1] == '\n';
        if (isCr != nextIsLf) return isCr ? i : i + 1;
    }
    return n;
}

bool detectAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
const bool kAvx2 = detectAvx2();

std::size_t findEitherByte(const char* p, std::size_t n) {
    return kAvx2 ? findEitherByte32(p, n) : findEitherByte16(p, n);
}
#else
std::size_t findEitherByte(const char* p, std::size_t n) {
    return findEitherByte16(p, n);
}
#endif

}  // namespace
#endif

std::size_t CrlfScan::findTerminator(const char* base, std::size_t from, std::size_t to) const {
#ifdef __SSE2__
    const auto findBytes = findEitherByte;
#else
    const auto findBytes = [](const char* p, std::size_t n) {
        return findEither<char, Bytes16>(p, n, '\r', '\n');
    };
#endif
    const std::size_t hit =
        unit_ == 1 ? findBytes(base + from, to - from)
                   : findEither<std::uint16_t, Units8>(base + from, to - from, cr_, lf_);
    return hit == kNotFound ? kNotFound : from + hit;
}

std::size_t CrlfScan::findLastLineFeed(const char* p, std::size_t within) const {
    return unit_ == 1 ? findLast<char, Bytes16>(p, within, '\n')
                      : findLast<std::uint16_t, Units8>(p, within, lf_);
}

std::size_t CrlfScan::findBareTerminator(const char* p, std::size_t n) const {
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
    if (unit_ == 1 && kAvx2) return findUnpairedByte32(p, n);
#endif
    if (unit_ == 1) return findUnpaired<char, Bytes16>(p, n, '\r', '\n');
    const std::size_t whole = n - n % 2;
    const std::size_t at = findUnpaired<std::uint16_t, Units8>(p, whole, cr_, lf_);
    return at == whole ? n : at;
}

std::size_t CrlfScan::terminatorAt(const char* p, std::size_t at, std::size_t end,
                                   bool atEnd) const {
    if (!isCr(p + at)) return unit_;
    if (at + 2 * unit_ <= end) return isLf(p + at + unit_) ? 2 * unit_ : unit_;
    return atEnd ? unit_ : 0;
}

CrlfScan::Line CrlfScan::nextLine(const char* p, std::size_t from, std::size_t end,
                                  bool atEnd) const {
    Line line;
    const std::size_t at = findTerminator(p, from, end);
    if (at == kNotFound) {
        line.length = end - from;
        if (!atEnd) {
            line.length -= line.length % unit_;  // a unit cut off by `end` is not looked at
        } else {
            line.none = from == end;  // a terminator at the very end adds no line
            line.complete = !line.none;
        }
        return line;
    }
    line.length = at - from;
    line.terminator = terminatorAt(p, at, end, atEnd);
    line.complete = line.terminator != 0;
    return line;
}

CrlfScan::Copied CrlfScan::copyLinesAsCrLf(const char* in, std::size_t n, char* out,
                                           std::size_t capacity, std::uint64_t room,
                                           bool withLineBreaks) const {
#ifdef __SSE2__
    if (unit_ == 1) return copyByteLinesAsCrLf(in, n, out, capacity, room, withLineBreaks);
#endif
    char lineBreak[4];
    std::memcpy(lineBreak, &cr_, unit_);
    std::memcpy(lineBreak + unit_, &lf_, unit_);
    if (unit_ == 1) {
        lineBreak[0] = '\r';
        lineBreak[1] = '\n';
    }
    Copied copied;
    while (true) {
        const Line line = nextLine(in, copied.consumed, n, false);
        if (!line.complete) break;
        // Characters never outnumber units, so the units alone decide the fit.
        const std::size_t cost = withLineBreaks ? line.length + 2 * unit_ : line.length / unit_;
        if (copied.produced > room || cost > room - copied.produced) break;
        if (line.length + 2 * unit_ > capacity - copied.produced) break;
        std::memcpy(out + copied.produced, in + copied.consumed, line.length);
        std::memcpy(out + copied.produced + line.length, lineBreak, 2 * unit_);
        copied.produced += line.length + 2 * unit_;
        copied.consumed += line.length + line.terminator;
    }
    return copied;
}

}  // namespace tovane
