// Where parts end: one rule per way of splitting. The splitter shows its rule
// every line, in order, before writing it, and asks it how far a run of lines
// may be written without being shown one by one.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "split/line_source.h"
#include "split/split_types.h"

namespace tovane {

class CutRule {
public:
    // The part being written: its number (0 before the first) and its bytes
    // so far, the byte-order mark included.
    struct Part {
        std::uint64_t number = 0;
        std::uint64_t written = 0;
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
    virtual bool opensPart(const LineSource::Line& line, const Part& part) = 0;
    // How far a run of lines from `ahead` may go into the part, unseen.
    virtual Run run(std::string_view ahead, const Part& part) = 0;
    // The most bytes a part may hold; a line that no part could hold whole is
    // cut. kUnlimitedPart: lines are never cut.
    virtual std::uint64_t capacity() const;
    // Why the run can't go ahead (a source without headings, when they are
    // what it cuts at), before anything is written; empty when it can.
    virtual std::string_view problemAtStart() const;
    // A number of parts that a source of `size` bytes won't reach, with room
    // to spare, for making sure before the run that every name will fit.
    virtual std::uint64_t partsAtMost(std::uint64_t size) const;
};

// The rule that `plan` asks for, reading `source` where it must look ahead;
// a set `stopRequested` ends what it does before the split.
std::unique_ptr<CutRule> makeCutRule(const SplitPlan& plan, LineSource& source,
                                     const std::atomic<bool>* stopRequested);

}  // namespace tovane
