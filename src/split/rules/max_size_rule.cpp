#include "split/rules/max_size_rule.h"

namespace tovane {

bool MaxSizeRule::opensPart(const SourceLine& line, const Part& part) {
    if (part.number == 0) return true;
    // Counted in the bytes the part holds: UTF-8 ones when it is converted.
    const EncodingFacts& facts = measure_.outputFacts();
    const std::uint64_t empty = facts.byteOrderMark.size();
    // A part with nothing in it yet takes the line, whole or its first piece.
    if (part.output <= empty) return false;
    return part.output + measure_.outputLength(line) + facts.lineBreak.size() > cap_;
}

CutRule::Run MaxSizeRule::run(std::string_view ahead, std::uint64_t /*aheadOffset*/,
                              const Part& part) {
    // Converted lines change length: each is measured on its own.
    const bool converted = measure_.outputEncoding() != measure_.encoding();
    if (part.number == 0 || part.written > cap_ || converted) return {};
    return {ahead.size(), cap_ - part.written, true};
}

std::uint64_t MaxSizeRule::smallestCap(TextEncoding encoding) {
    const EncodingFacts& facts = factsOf(encoding);
    return facts.byteOrderMark.size() + facts.longestCharacter + facts.lineBreak.size();
}

}  // namespace tovane
