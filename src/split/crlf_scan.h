// Fast scans over a run of text for the split's bulk path: whether every CR
// in it is followed by LF, so that the run can be written unchanged.
#pragma once

#include <cstddef>

namespace tovane {

// The index of the first CR among p[0 .. n-2] that is not followed by LF, or
// n when there is none. A CR at p[n-1] is not looked at.
std::size_t findLoneCarriageReturn(const char* p, std::size_t n);

// The same over UTF-16 code units in the given byte order: `p` starts at a
// unit, `n` is in bytes, the result is a byte index (or n).
std::size_t findLoneCarriageReturn16(const char* p, std::size_t n, bool littleEndian);

}  // namespace tovane
