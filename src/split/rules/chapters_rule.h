// Parts of a given number of chapters each.
#pragma once

#include <cstdint>
#include <memory>

#include "split/rules/chapter_cut_rule.h"

namespace tovane {

// A part begins at the first line and at every chapter past the first N of
// the part, so each part but the first opens with a chapter and holds N of
// them (a volume's heading and its chapter 1 are one); text before the first
// chapter goes into the first part with its chapters. Lines are never
// measured: a line of any length stays in the part it comes to.
class ChaptersRule : public ChapterCutRule {
public:
    ChaptersRule(std::shared_ptr<const ChapterMap> chapters, std::uint64_t chaptersPerPart)
        : ChapterCutRule(std::move(chapters)), chaptersPerPart_(chaptersPerPart) {}

    bool opensPart(const SourceLine& line, const Part& part) override;

private:
    std::uint64_t chaptersPerPart_;
    std::uint64_t chaptersInPart_ = 0;
};

}  // namespace tovane
