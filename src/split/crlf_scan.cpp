#include "crlf_scan.h"

#include <cstdint>
#include <cstring>

namespace tovane {

namespace {

// Sixteen bytes at a time with the compiler's portable vector types: SSE2 on
// any x86-64, NEON on ARM, plain code elsewhere.
typedef char Bytes16 __attribute__((vector_size(16)));
typedef std::uint16_t Units8 __attribute__((vector_size(16)));

inline Bytes16 load(const char* p) {
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline Units8 loadUnits(const char* p) {
    Units8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename Vector>
inline bool anySet(Vector v) {
    std::uint64_t halves[2];
    std::memcpy(halves, &v, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

}  // namespace

std::size_t findLoneCarriageReturn(const char* p, std::size_t n) {
    const Bytes16 cr = {'\r', '\r', '\r', '\r', '\r', '\r', '\r', '\r',
                        '\r', '\r', '\r', '\r', '\r', '\r', '\r', '\r'};
    const Bytes16 lf = {'\n', '\n', '\n', '\n', '\n', '\n', '\n', '\n',
                        '\n', '\n', '\n', '\n', '\n', '\n', '\n', '\n'};
    std::size_t i = 0;
    // Each block compares bytes i.. with their successors i+1..; four blocks
    // are tested together so the loop rarely branches.
    for (; i + 65 <= n; i += 64) {
        Bytes16 lone = {};
        for (std::size_t k = 0; k < 64; k += 16) {
            lone |= (load(p + i + k) == cr) & (load(p + i + k + 1) != lf);
        }
        if (anySet(lone)) break;
    }
    for (; i + 1 < n; ++i) {
        if (p[i] == '\r' && p[i + 1] != '\n') return i;
    }
    return n;
}

std::size_t findLoneCarriageReturn16(const char* p, std::size_t n, bool littleEndian) {
    // A unit as this machine reads two bytes of the file in its own order.
    const bool sameOrder = littleEndian == (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
    const std::uint16_t crUnit = sameOrder ? 0x000D : 0x0D00;
    const std::uint16_t lfUnit = sameOrder ? 0x000A : 0x0A00;
    const Units8 cr = {crUnit, crUnit, crUnit, crUnit, crUnit, crUnit, crUnit, crUnit};
    const Units8 lf = {lfUnit, lfUnit, lfUnit, lfUnit, lfUnit, lfUnit, lfUnit, lfUnit};
    std::size_t i = 0;
    for (; i + 66 <= n; i += 64) {
        Units8 lone = {};
        for (std::size_t k = 0; k < 64; k += 16) {
            lone |= (loadUnits(p + i + k) == cr) & (loadUnits(p + i + k + 2) != lf);
        }
        if (anySet(lone)) break;
    }
    for (; i + 4 <= n; i += 2) {
        std::uint16_t unit;
        std::uint16_t next;
        std::memcpy(&unit, p + i, 2);
        std::memcpy(&next, p + i + 2, 2);
        if (unit == crUnit && next != lfUnit) return i;
    }
    return n;
}

}  // namespace tovane
