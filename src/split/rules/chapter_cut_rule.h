// What the rules that cut at chapters share: where chapters begin, and runs
// of lines that end before the next one.
#pragma once

#include <memory>

#include "split/chapters/chapter_starts.h"
#include "split/rules/cut_rule.h"

namespace tovane {

class ChapterCutRule : public CutRule {
public:
    explicit ChapterCutRule(std::shared_ptr<const ChapterMap> chapters)
        : starts_(std::move(chapters)) {}

    // A run ends before the next chapter, whose first line is shown alone.
    Run run(std::string_view ahead, std::uint64_t aheadOffset, const Part& part) override;

protected:
    ChapterStarts starts_;
};

}  // namespace tovane
