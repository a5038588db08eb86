#include "split/rules/chapter_cut_rule.h"

#include "split/part_limit.h"

namespace tovane {

CutRule::Run ChapterCutRule::run(std::string_view ahead, std::uint64_t aheadOffset,
                                 const Part& part) {
    if (part.number == 0) return {};
    return {starts_.before(ahead, aheadOffset), kUnlimitedPart, false};
}

}  // namespace tovane
