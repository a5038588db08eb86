// Parts of a given number of volumes each, one part a volume with 1: what
// comes before the first volume's heading (a preface, a prologue) goes into
// the first part, and a book without a volume's heading makes no part.
#include "split/ways/chapter_cut_rule.h"
#include "split/ways/split_way.h"
#include "split/ways/way_numbers.h"

namespace tovane {

namespace {

Problem readVolumes(std::string_view text, const NumberContext&, WayNumbers& numbers) {
    return readPerPart(text, Problem::Kind::BadVolumes, numbers);
}

std::unique_ptr<CutRule> volumesRule(const WayNumbers& numbers, LineMeasure&,
                                     std::shared_ptr<const ChapterMap> chapters) {
    return std::make_unique<PerPartRule>(std::move(chapters), numbers.perPart,
                                         PerPartRule::Counts::Volumes);
}

}  // namespace

const SplitWay& volumesWay() {
    static const SplitWay way{SplitMode::ByVolumes, "--volumes", "",
                              WayNumber::Volumes,   "1",         false,
                              WayCuts::Volumes,     readVolumes, volumesRule};
    return way;
}

}  // namespace tovane
