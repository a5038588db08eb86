#include "split/ways/chapter_cut_rule.h"

namespace tovane {

CutRule::Run ChapterCutRule::run(std::string_view ahead, std::uint64_t aheadOffset,
                                 const Part& part) {
    if (part.number == 0) return {};
    return {starts_.before(ahead, aheadOffset), kUnlimitedPart, false};
}

bool PerPartRule::opensPart(const SourceLine& line, const Part& part) {
    bool begins = starts_.begins(line);
    if (counts_ == Counts::Volumes) begins = begins && starts_.current().volume;
    if (part.number == 0) {
        inPart_ = begins ? 1 : 0;
        return true;
    }
    if (!begins) return false;
    if (inPart_ < perPart_) {
        ++inPart_;
        return false;
    }
    inPart_ = 1;
    return true;
}

}  // namespace tovane
