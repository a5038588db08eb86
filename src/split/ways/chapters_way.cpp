// Parts of a given number of chapters each (a volume's heading and its
// chapter 1 are one chapter).
#include "split/ways/chapter_cut_rule.h"
#include "split/ways/split_way.h"
#include "split/ways/way_numbers.h"

namespace tovane {

namespace {

Problem readChapters(std::string_view text, const NumberContext&, WayNumbers& numbers) {
    return readPerPart(text, Problem::Kind::BadChapters, numbers);
}

std::unique_ptr<CutRule> chaptersRule(const WayNumbers& numbers, LineMeasure&,
                                      std::shared_ptr<const ChapterMap> chapters) {
    return std::make_unique<PerPartRule>(std::move(chapters), numbers.perPart,
                                         PerPartRule::Counts::Chapters);
}

}  // namespace

const SplitWay& chaptersWay() {
    static const SplitWay way{SplitMode::ByChapters, "--chapters", "",
                              WayNumber::Chapters,   "1",          false,
                              WayCuts::Chapters,     readChapters, chaptersRule};
    return way;
}

}  // namespace tovane
