// Every search for a line end in the source's code units, 8- or 16-bit in
// either byte order: a line ends at CR LF, at CR or at LF. The scans run a
// vector of units at a time, since they touch every byte of the file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "split/text/codec.h"

namespace tovane {

class CrlfScan {
public:
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    explicit CrlfScan(const Codec& codec);

    std::size_t unit() const { return unit_; }
    bool isCr(const char* unit) const { return load(unit) == cr_; }
    bool isLf(const char* unit) const { return load(unit) == lf_; }

    // The first CR or LF unit in base[from, to), counting whole units from
    // `from`; a unit cut off by `to` is not looked at.
    std::size_t findTerminator(const char* base, std::size_t from, std::size_t to) const;
    // The bytes of the line end that starts at the CR or LF unit p[at]: CR LF
    // or the unit alone. 0 when a CR is the last unit before `end` and more
    // may follow (`atEnd` false): whether an LF belongs to it is out of view.
    std::size_t terminatorAt(const char* p, std::size_t at, std::size_t end, bool atEnd) const;

    // The line that starts at p[from], as far as p[from, end) shows it:
    // every loop over lines steps with this. `atEnd`: nothing follows
    // p[end - 1] in the file.
    struct Line {
        std::size_t length = 0;      // bytes of the line without its end; if not
                                     // complete, the whole units seen so far
        std::size_t terminator = 0;  // bytes of CR LF, CR or LF; 0 for a last line without one
        bool complete = false;       // the line and its end are all in view
        bool none = false;           // no line starts at `from`: the data is used up
    };
    Line nextLine(const char* p, std::size_t from, std::size_t end, bool atEnd) const;
    // The start of the last LF unit in p[0, within), counting units from p.
    std::size_t findLastLineFeed(const char* p, std::size_t within) const;
    // The first CR not followed by LF, or LF not preceded by CR, judged by
    // the pairs of neighbouring units wholly inside p[0, n): an LF at p[0]
    // and a CR in the last unit are not looked at. n when there is none, so
    // that the lines there can be written exactly as they stand.
    std::size_t findBareTerminator(const char* p, std::size_t n) const;

    struct Copied {
        std::size_t consumed = 0;  // bytes of whole lines taken from the input
        std::size_t produced = 0;  // bytes written out
    };
    // Copies whole lines from in[0, n) to out[0, capacity), each followed by
    // CR LF whatever ended it, while each line's cost plus what was produced
    // before it stay within `room`: the line's characters (at most its units),
    // or with `withLineBreaks` its bytes and the CR LF written after it. Stops
    // at a line whose end isn't in view, including a CR in the last unit.
    Copied copyLinesAsCrLf(const char* in, std::size_t n, char* out, std::size_t capacity,
                           std::uint64_t room, bool withLineBreaks = false) const;

private:
    std::uint16_t load(const char* unit) const;

    std::size_t unit_;
    std::uint16_t cr_;  // the units as load() reads them
    std::uint16_t lf_;
};

}  // namespace tovane
