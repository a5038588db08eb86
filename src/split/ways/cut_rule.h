// Where parts end: each way has its rule. The splitter shows its rule every
// line, in order, before writing it, and asks it how far a run of lines may
// be written without being shown one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "split/line_measure.h"
#include "split/part_limit.h"

namespace tovane {

class CutRule {
public:
    // The part being written: its number (0 before the first) and its bytes
    // so far, the byte-order mark included: as the source's encoding has them
    // (what the size tests count), and as the part holds them (the same
    // unless the parts are converted).
    struct Part {
        std::uint64_t number = 0;
        std::uint64_t written = 0;
        std::uint64_t output = 0;
    };

    // Lines that certainly stay in the part: a run may cover whole lines of
    // the first `extent` bytes of what is in view, each while its cost plus
    // the bytes the run wrote before it stay within `room`. The cost of a line
    // is its characters (at most its code units), or, `withLineBreaks`, its
    // bytes and the CR LF written after it.
    struct Run {
        std::size_t extent = 0;
        std::uint64_t room = 0;
        bool withLineBreaks = false;
    };

    virtual ~CutRule() = default;

    // Whether `line` begins a new part. The first line always does.
    virtual bool opensPart(const SourceLine& line, const Part& part) = 0;
    // How far a run of lines from `ahead`, which starts at `aheadOffset` in
    // the file, may go into the part, unseen.
    virtual Run run(std::string_view ahead, std::uint64_t aheadOffset, const Part& part) = 0;
    // The most bytes a part may hold; a line that no part could hold whole is
    // cut. kUnlimitedPart: lines are never cut.
    virtual std::uint64_t capacity() const { return kUnlimitedPart; }
    // A number of parts that a source of `size` bytes won't reach, with room
    // to spare, for making sure before the run that every name will fit:
    // never more parts than lines, nor lines than bytes.
    virtual std::uint64_t partsAtMost(std::uint64_t size) const { return size + 1; }
};

}  // namespace tovane
