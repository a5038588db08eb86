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
// line is a part.
class SizeRule : public CutRule {
public:
    SizeRule(LineMeasure& measure, std::uint64_t limit) : measure_(measure), limit_(limit) {}

    bool opensPart(const SourceLine& line, const Part& part) override;
    Run run(std::string_view ahead, std::uint64_t aheadOffset, const Part& part) override;
    std::uint64_t partsAtMost(std::uint64_t size) const override;

private:
    LineMeasure& measure_;
    std::uint64_t limit_;
};

}  // namespace tovane
