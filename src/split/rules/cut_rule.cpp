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

std::string_view CutRule::problemAtStart() const {
    return {};
}

// Never more parts than lines, nor lines than bytes.
std::uint64_t CutRule::partsAtMost(std::uint64_t size) const {
    return size + 1;
}

std::unique_ptr<CutRule> makeCutRule(const SplitPlan& plan, LineSource& source,
                                     const std::atomic<bool>* stopRequested) {
    switch (plan.rule) {
        case PartRule::BySize:
            return std::make_unique<SizeRule>(source, plan.byteLimit);
        case PartRule::ByCount:
            return std::make_unique<CountRule>(source, plan.byteLimit);
        case PartRule::ByChapters:
            return std::make_unique<ChaptersRule>(source, plan, stopRequested);
        case PartRule::BySizeAtChapters:
            return std::make_unique<SizeAtChaptersRule>(source, plan, stopRequested);
        case PartRule::ByMaxSize:
            return std::make_unique<MaxSizeRule>(source, plan.byteLimit);
    }
    return nullptr;
}

}  // namespace tovane
