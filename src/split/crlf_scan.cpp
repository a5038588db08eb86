#include "crlf_scan.h"

#include <cstdint>
#include <cstring>

namespace tovane {

namespace {

// Sixteen bytes at a time with the compiler's portable vector types: SSE2 on
// any x86-64, NEON on ARM, plain code elsewhere.
typedef char Bytes16 __attribute__((vector_size(16)));

inline Bytes16 load(const char* p) {
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline bool anySet(Bytes16 v) {
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

}  // namespace tovane
