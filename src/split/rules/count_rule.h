// A given number of parts of about equal size.
#pragma once

#include <cstdint>

#include "split/rules/size_rule.h"

namespace tovane {

// The size rule with a limit worked out before the run: the source's size
// over the number of parts, rounded half to even. The number of parts
// follows from that limit alone: lines rarely end where a part's share
// does, so it can be one more or fewer than asked for.
class CountRule : public SizeRule {
public:
    CountRule(LineMeasure& measure, std::uint64_t limit) : SizeRule(measure, limit) {}
};

}  // namespace tovane
