#include "split/rules/chapters_rule.h"

#include "split/part_limit.h"

namespace tovane {

bool ChaptersRule::opensPart(const LineSource::Line& line, const Part& part) {
    const bool heading = starts_.begins(line);
    if (part.number == 0) {
        chaptersInPart_ = heading ? 1 : 0;
        return true;
    }
    if (!heading) return false;
    if (chaptersInPart_ < chaptersPerPart_) {
        ++chaptersInPart_;
        return false;
    }
    chaptersInPart_ = 1;
    return true;
}

// A run ends before the next heading, which is shown alone.
CutRule::Run ChaptersRule::run(std::string_view ahead, const Part& part) {
    if (part.number == 0) return {};
    return {starts_.before(ahead), kUnlimitedPart, false};
}

}  // namespace tovane
