#include "split/rules/size_at_chapters_rule.h"

namespace tovane {

bool SizeAtChaptersRule::opensPart(const SourceLine& line, const Part& part) {
    const bool begins = starts_.begins(line);
    if (part.number == 0) return true;
    if (!begins) return false;
    return part.written > limit_ || starts_.current().characters > limit_ - part.written;
}

}  // namespace tovane
