#include "split/rules/cut_rule.h"

#include "split/part_limit.h"
#include "split/rules/chapters_rule.h"
#include "split/rules/count_rule.h"
#include "split/rules/max_size_rule.h"
#include "split/rules/size_at_chapters_rule.h"
#include "split/rules/size_rule.h"

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
    switch (plan.rule) {
        case PartRule::BySize:
            return std::make_unique<SizeRule>(measure, plan.byteLimit);
        case PartRule::ByCount:
            return std::make_unique<CountRule>(measure, plan.byteLimit);
        case PartRule::ByChapters:
            return std::make_unique<ChaptersRule>(std::move(chapters), plan.chaptersPerPart);
        case PartRule::BySizeAtChapters:
            return std::make_unique<SizeAtChaptersRule>(std::move(chapters), plan.byteLimit);
        case PartRule::ByMaxSize:
            return std::make_unique<MaxSizeRule>(measure, plan.byteLimit);
    }
    return nullptr;
}

}  // namespace tovane
