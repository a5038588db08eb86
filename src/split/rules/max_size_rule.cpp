#include "split/rules/max_size_rule.h"

namespace tovane {

bool MaxSizeRule::opensPart(const SourceLine& line, const Part& part) {
    if (part.number == 0) return true;
    // Counted in the bytes the part holds: UTF-8 ones when it is converted.
    const SourceFormat& output = measure_.outputFormat();
    const std::uint64_t empty = output.mark().size();
    // A part with nothing in it yet takes the line, whole or its first piece.
    if (part.output <= empty) return false;
    return part.output + measure_.outputLength(line) + output.codec().lineBreak().size() > cap_;
}

CutRule::Run MaxSizeRule::run(std::string_view ahead, std::uint64_t /*aheadOffset*/,
                              const Part& part) {
    // Converted lines change length: each is measured on its own.
    if (part.number == 0 || part.written > cap_ || measure_.converted()) return {};
    return {ahead.size(), cap_ - part.written, true};
}

std::uint64_t MaxSizeRule::smallestCap(const SourceFormat& format) {
    const Codec& codec = format.codec();
    return format.mark().size() + codec.longestCharacter() + codec.lineBreak().size();
}

}  // namespace tovane
