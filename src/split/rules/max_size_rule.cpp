#include "split/rules/max_size_rule.h"

namespace tovane {

bool MaxSizeRule::opensPart(const SourceLine& line, const Part& part) {
    if (part.number == 0) return true;
    const EncodingFacts& facts = measure_.facts();
    const std::uint64_t empty = facts.byteOrderMark.size();
    // A part with nothing in it yet takes the line, whole or its first piece.
    if (part.written <= empty) return false;
    return part.written + line.length + facts.lineBreak.size() > cap_;
}

CutRule::Run MaxSizeRule::run(std::string_view ahead, std::uint64_t /*aheadOffset*/,
                              const Part& part) {
    if (part.number == 0 || part.written > cap_) return {};
    return {ahead.size(), cap_ - part.written, true};
}

std::uint64_t MaxSizeRule::smallestCap(TextEncoding encoding) {
    const EncodingFacts& facts = factsOf(encoding);
    return facts.byteOrderMark.size() + facts.longestCharacter + facts.lineBreak.size();
}

}  // namespace tovane
