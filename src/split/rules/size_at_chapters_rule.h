// Parts of about a given size that end only where a chapter does.
#pragma once

#include <cstdint>
#include <memory>

#include "split/rules/chapter_cut_rule.h"

namespace tovane {

// A part begins at the first line and at a chapter that would take the part
// past the limit: the part's bytes so far plus the chapter's characters (its
// lines' characters and the CR LF between them, counted in the pass that
// found the chapters) exceed it. So a part takes whole chapters while they
// fit, and a chapter larger than the limit makes a part of its own. Text
// before the first chapter goes into the first part. Lines are never cut.
class SizeAtChaptersRule : public ChapterCutRule {
public:
    SizeAtChaptersRule(std::shared_ptr<const ChapterMap> chapters, std::uint64_t limit)
        : ChapterCutRule(std::move(chapters)), limit_(limit) {}

    bool opensPart(const SourceLine& line, const Part& part) override;

private:
    std::uint64_t limit_;
};

}  // namespace tovane
