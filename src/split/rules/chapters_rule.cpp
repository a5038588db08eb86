#include "split/rules/chapters_rule.h"

namespace tovane {

bool ChaptersRule::opensPart(const SourceLine& line, const Part& part) {
    const bool begins = starts_.begins(line);
    if (part.number == 0) {
        chaptersInPart_ = begins ? 1 : 0;
        return true;
    }
    if (!begins) return false;
    if (chaptersInPart_ < chaptersPerPart_) {
        ++chaptersInPart_;
        return false;
    }
    chaptersInPart_ = 1;
    return true;
}

}  // namespace tovane
