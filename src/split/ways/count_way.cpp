// A given number of parts of about equal size: the size rule with a limit
// worked out before the run, the source's size over the number of parts,
// rounded half to even. Lines rarely end where a part's share does, so the
// limit alone could make one part more than asked for, a scrap of a line's
// end: the last part asked for takes whatever remains instead (a fraction
// asks for the whole part above it). It may make one fewer.
#include "split/ways/size_way.h"
#include "split/ways/split_way.h"

namespace tovane {

namespace {

Problem readParts(std::string_view text, const NumberContext& context, WayNumbers& numbers) {
    const std::optional<std::uint64_t> limit = limitFromCountText(text, context.sourceSize);
    if (!limit) return Problem::of(Problem::Kind::BadCount);
    numbers.byteLimit = *limit;
    numbers.mostParts = mostPartsFromCountText(text).value_or(0);
    numbers.perPartFigure = std::to_string(limitInKilobytes(*limit));
    return {};
}

std::unique_ptr<CutRule> countRule(const WayNumbers& numbers, LineMeasure& measure,
                                   std::shared_ptr<const ChapterMap>) {
    return std::make_unique<SizeRule>(measure, numbers.byteLimit, numbers.mostParts);
}

}  // namespace

const SplitWay& countWay() {
    static const SplitWay way{SplitMode::ByCount, "--parts", "",
                              WayNumber::Parts,   "10",      false,
                              WayCuts::AnyLine,   readParts, countRule};
    return way;
}

}  // namespace tovane
