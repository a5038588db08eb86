// The rules that cut at chapters: where chapters begin, and runs of lines
// that end before the next one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "split/ways/chapter_starts.h"
#include "split/ways/cut_rule.h"

namespace tovane {

class ChapterCutRule : public CutRule {
public:
    explicit ChapterCutRule(std::shared_ptr<const ChapterMap> chapters)
        : starts_(std::move(chapters)) {}

    // A run ends before the next chapter, whose first line is shown alone.
    Run run(std::string_view ahead, std::uint64_t aheadOffset, const Part& part) override;
    // A part begins only where a block does, and at the first line.
    std::uint64_t partsAtMost(std::uint64_t size) const override {
        return std::min<std::uint64_t>(CutRule::partsAtMost(size), starts_.count() + 1);
    }

protected:
    ChapterStarts starts_;
};

// Parts of a number of chapters, or of volumes, each: a part begins at the
// first line and at every chapter (volume) past the first N of the part, so
// each part but the first opens with one; text before the first goes into the
// first part. Lines are never measured: a line of any length stays in the
// part it comes to.
class PerPartRule : public ChapterCutRule {
public:
    enum class Counts : std::uint8_t { Chapters, Volumes };
    PerPartRule(std::shared_ptr<const ChapterMap> chapters, std::uint64_t perPart, Counts counts)
        : ChapterCutRule(std::move(chapters)), perPart_(perPart), counts_(counts) {}

    bool opensPart(const SourceLine& line, const Part& part) override;

private:
    std::uint64_t perPart_;
    Counts counts_;
    std::uint64_t inPart_ = 0;  // begun in the part
};

}  // namespace tovane
