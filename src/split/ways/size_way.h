// Parts of about a given size, measured as the window always has: the size
// test adds the next line's characters to the part's bytes.
#pragma once

#include "split/ways/cut_rule.h"

namespace tovane {

// A part takes the next line while its bytes so far plus the line's
// characters (without its end) stay within the limit; the line that would
// pass it begins the next part. A part can end larger than the limit, since
// the line's bytes and its CR LF are what it grows by. A line longer than
// the limit is written whole into a part of its own; with a limit of 0 every
// line is a part. With `mostParts`, the part of that number takes every
// line that is left. With `asWritten`, a part converted on its way out is
// measured in the bytes it holds, so that a part of 100 KB is one.
class SizeRule : public CutRule {
public:
    SizeRule(LineMeasure& measure, std::uint64_t limit, std::uint64_t mostParts = 0,
             bool asWritten = false)
        : measure_(measure), limit_(limit), mostParts_(mostParts), asWritten_(asWritten) {}

    bool opensPart(const SourceLine& line, const Part& part) override;
    Run run(std::string_view ahead, std::uint64_t aheadOffset, const Part& part) override;
    std::uint64_t partsAtMost(std::uint64_t size) const override;

private:
    bool lastPart(const Part& part) const { return mostParts_ != 0 && part.number >= mostParts_; }
    std::uint64_t held(const Part& part) const {
        return asWritten_ && measure_.converted() ? part.output : part.written;
    }

    LineMeasure& measure_;
    std::uint64_t limit_;
    std::uint64_t mostParts_;
    bool asWritten_;
};

}  // namespace tovane
