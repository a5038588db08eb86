// Parts of about a given size that end only where a chapter does: a part
// begins at the first line and at a chapter that would take the part past
// the limit, its bytes so far plus the chapter's characters (its lines'
// characters and the CR LF between them, counted in the pass that found the
// chapters). So a part takes whole chapters while they fit, and a chapter
// larger than the limit makes a part of its own. Text before the first
// chapter goes into the first part. Lines are never cut.
#include "split/ways/chapter_cut_rule.h"
#include "split/ways/split_way.h"
#include "split/ways/way_numbers.h"

namespace tovane {

namespace {

class SizeAtChaptersRule : public ChapterCutRule {
public:
    SizeAtChaptersRule(std::shared_ptr<const ChapterMap> chapters, std::uint64_t limit)
        : ChapterCutRule(std::move(chapters)), limit_(limit) {}

    bool opensPart(const SourceLine& line, const Part& part) override {
        const bool begins = starts_.begins(line);
        if (part.number == 0) return true;
        if (!begins) return false;
        return part.written > limit_ || starts_.current().characters > limit_ - part.written;
    }

private:
    std::uint64_t limit_;
};

std::unique_ptr<CutRule> sizeAtChaptersRule(const WayNumbers& numbers, LineMeasure&,
                                            std::shared_ptr<const ChapterMap> chapters) {
    return std::make_unique<SizeAtChaptersRule>(std::move(chapters), numbers.byteLimit);
}

}  // namespace

const SplitWay& sizeAtChaptersWay() {
    static const SplitWay way{SplitMode::BySizeAtChapters, "--size",      "--at-chapters",
                              WayNumber::Kilobytes,        "100",         false,
                              WayCuts::Chapters,           readKilobytes, sizeAtChaptersRule};
    return way;
}

}  // namespace tovane
