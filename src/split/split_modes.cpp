#include "split/split_modes.h"

#include <algorithm>

#include "split/rules/chapters_rule.h"
#include "split/rules/count_rule.h"
#include "split/rules/max_size_rule.h"
#include "split/rules/size_at_chapters_rule.h"
#include "split/rules/size_rule.h"

namespace tovane {

namespace {

using Chapters = std::shared_ptr<const ChapterMap>;

std::unique_ptr<CutRule> sizeRule(const SplitPlan& plan, LineMeasure& measure, Chapters) {
    return std::make_unique<SizeRule>(measure, plan.byteLimit);
}
std::unique_ptr<CutRule> countRule(const SplitPlan& plan, LineMeasure& measure, Chapters) {
    return std::make_unique<CountRule>(measure, plan.byteLimit);
}
std::unique_ptr<CutRule> sizeAtChaptersRule(const SplitPlan& plan, LineMeasure&,
                                            Chapters chapters) {
    return std::make_unique<SizeAtChaptersRule>(std::move(chapters), plan.byteLimit);
}
std::unique_ptr<CutRule> maxSizeRule(const SplitPlan& plan, LineMeasure& measure, Chapters) {
    return std::make_unique<MaxSizeRule>(measure, plan.byteLimit);
}
std::unique_ptr<CutRule> chaptersRule(const SplitPlan& plan, LineMeasure&, Chapters chapters) {
    return std::make_unique<ChaptersRule>(std::move(chapters), plan.chaptersPerPart);
}

constexpr std::string_view kBySizeMenu = "按大小分割(&1)";
constexpr std::string_view kAfterSize = "KB分割成一个文件";
constexpr std::string_view kBeforeCount = "平均分割成";
constexpr std::string_view kAfterCount = "个文件";

}  // namespace

const SplitModeRow kSplitModes[5] = {
    {SplitMode::BySize, "--size", "", 1, NumberBox::Size, kBySizeMenu, kAfterSize, kBeforeCount,
     kAfterCount, SplitNumber::Kilobytes, "100", "KB", false, false, false, sizeRule},
    {SplitMode::ByCount, "--parts", "", 1, NumberBox::Count, kBySizeMenu, kAfterSize, kBeforeCount,
     kAfterCount, SplitNumber::Parts, "10", "KB", false, false, false, countRule},
    {SplitMode::BySizeAtChapters, "--size", "--at-chapters", 2, NumberBox::Size,
     "按大小分割，只在章节处分开(&2)", "KB，在章节处分开", kBeforeCount, kAfterCount,
     SplitNumber::Kilobytes, "100", "KB", false, true, true, sizeAtChaptersRule},
    {SplitMode::ByMaxSize, "--max-size", "", 3, NumberBox::Size,
     "按大小分割，每个文件不超过 N KB(&3)", "KB以内为一个文件", kBeforeCount, kAfterCount,
     SplitNumber::Kilobytes, "100", "KB", true, false, false, maxSizeRule},
    {SplitMode::ByChapters, "--chapters", "", 4, NumberBox::Count, "按章节分割(&4)", kAfterSize,
     "每个文件含", "章", SplitNumber::Chapters, "1", "章", false, true, true, chaptersRule},
};

const SplitModeRow& firstOfMenuEntry(int entry) {
    for (const SplitModeRow& row : kSplitModes) {
        if (row.menuEntry == entry) return row;
    }
    return kSplitModes[0];
}

int lastMenuEntry() {
    int last = 0;
    for (const SplitModeRow& row : kSplitModes) last = std::max(last, row.menuEntry);
    return last;
}

const SplitModeRow& splitModeRow(SplitMode mode) {
    for (const SplitModeRow& row : kSplitModes) {
        if (row.mode == mode) return row;
    }
    return kSplitModes[0];
}

}  // namespace tovane
