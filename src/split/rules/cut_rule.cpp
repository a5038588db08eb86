#include "split/rules/cut_rule.h"

#include "split/part_limit.h"
#include "split/split_modes.h"

namespace tovane {

std::uint64_t CutRule::capacity() const {
    return kUnlimitedPart;
}

// Never more parts than lines, nor lines than bytes.
std::uint64_t CutRule::partsAtMost(std::uint64_t size) const {
    return size + 1;
}

std::unique_ptr<CutRule> makeCutRule(const SplitPlan& plan, LineMeasure& measure,
                                     std::shared_ptr<const ChapterMap> chapters) {
    return splitModeRow(plan.mode).makeRule(plan, measure, std::move(chapters));
}

}  // namespace tovane
