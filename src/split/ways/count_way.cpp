// A given number of parts of about equal size: the size rule with a limit
// worked out before the run, the source's size over the number of parts,
// rounded half to even. The number of parts follows from that limit alone:
// lines rarely end where a part's share does, so it can be one more or
// fewer than asked for.
#include "split/ways/size_way.h"
#include "split/ways/split_way.h"

namespace tovane {

namespace {

Problem readParts(std::string_view text, const NumberContext& context, WayNumbers& numbers) {
    const std::optional<std::uint64_t> limit = limitFromCountText(text, context.sourceSize);
    if (!limit) return Problem::of(Problem::Kind::BadCount);
    numbers.byteLimit = *limit;
    numbers.perPartFigure = std::to_string(limitInKilobytes(*limit));
    return {};
}

std::unique_ptr<CutRule> countRule(const WayNumbers& numbers, LineMeasure& measure,
                                   std::shared_ptr<const ChapterMap>) {
    return std::make_unique<SizeRule>(measure, numbers.byteLimit);
}

}  // namespace

const SplitWay& countWay() {
    static const SplitWay way{SplitMode::ByCount, "--parts", "",
                              WayNumber::Parts,   "10",      false,
                              WayCuts::AnyLine,   readParts, countRule};
    return way;
}

}  // namespace tovane
