// Parts of a given number of chapters each.
#pragma once

#include <cstdint>
#include <memory>

#include "split/rules/chapter_starts.h"
#include "split/rules/cut_rule.h"

namespace tovane {

// A part begins at the first line and at every heading past the first N of
// the part, so each part but the first opens with a heading and holds N
// chapters; text before the first heading goes into the first part with its
// chapters. Lines are never measured: a line of any length stays in the
// part it comes to. A source without a heading makes no part.
class ChaptersRule : public CutRule {
public:
    ChaptersRule(LineSource& source, const SplitPlan& plan, const std::atomic<bool>* stopRequested)
        : starts_(source, plan.sourcePath, plan.heading, stopRequested),
          chaptersPerPart_(plan.chaptersPerPart) {}

    bool opensPart(const LineSource::Line& line, const Part& part) override;
    Run run(std::string_view ahead, const Part& part) override;
    std::string_view problemAtStart() const override { return starts_.problem(); }

private:
    ChapterStarts starts_;
    std::uint64_t chaptersPerPart_;
    std::uint64_t chaptersInPart_ = 0;
};

}  // namespace tovane
