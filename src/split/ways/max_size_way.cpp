#include "split/ways/max_size_way.h"

#include <algorithm>

#include "split/ways/split_way.h"
#include "split/ways/way_numbers.h"

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

// Two parts in a row hold more than the cap between them, but for a line cut
// to fill its parts; what is written is at most twice the source (a CR LF for
// a lone LF, three bytes of UTF-8 for two); ten times that is to spare.
std::uint64_t MaxSizeRule::partsAtMost(std::uint64_t size) const {
    const std::uint64_t written = 2 * size;
    return std::min(CutRule::partsAtMost(size), 10 * (2 * (written / cap_) + 2));
}

std::uint64_t MaxSizeRule::smallestCap(const SourceFormat& format) {
    const Codec& codec = format.codec();
    return format.mark().size() + codec.longestCharacter() + codec.lineBreak().size();
}

namespace {

// A cap too small for the mark, one character and CR LF is no cap at all.
Problem readCap(std::string_view text, const NumberContext& context, WayNumbers& numbers) {
    if (Problem problem = readKilobytes(text, context, numbers)) return problem;
    const std::uint64_t smallest = MaxSizeRule::smallestCap(context.output);
    if (numbers.byteLimit < smallest) return Problem::capTooSmall(smallest);
    return {};
}

std::unique_ptr<CutRule> maxSizeRule(const WayNumbers& numbers, LineMeasure& measure,
                                     std::shared_ptr<const ChapterMap>) {
    return std::make_unique<MaxSizeRule>(measure, numbers.byteLimit);
}

}  // namespace

const SplitWay& maxSizeWay() {
    static const SplitWay way{SplitMode::ByMaxSize, "--max-size", "",
                              WayNumber::Kilobytes, "100",        true,
                              WayCuts::AnyLine,     readCap,      maxSizeRule};
    return way;
}

}  // namespace tovane
