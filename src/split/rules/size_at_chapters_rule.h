// Parts of about a given size that end only where a chapter does.
#pragma once

#include <cstdint>
#include <memory>

#include "split/rules/chapter_starts.h"
#include "split/rules/cut_rule.h"

namespace tovane {

// A part begins at the first line and at a heading whose chapter would take
// the part past the limit: the part's bytes so far plus the chapter's
// characters (its lines' characters and the CR LF between them, up to the
// next heading or the end) exceed it. So a part takes whole chapters while
// they fit, and a chapter larger than the limit makes a part of its own.
// Text before the first heading goes into the first part. Lines are never cut.
// A source without a heading makes no part.
class SizeAtChaptersRule : public CutRule {
public:
    SizeAtChaptersRule(LineSource& source, const SplitPlan& plan,
                       const std::atomic<bool>* stopRequested);

    bool opensPart(const LineSource::Line& line, const Part& part) override;
    Run run(std::string_view ahead, const Part& part) override;
    std::string_view problemAtStart() const override { return starts_.problem(); }

private:
    std::uint64_t measureChapter(std::uint64_t offset, std::uint64_t room);

    LineSource& source_;
    ChapterStarts starts_;
    std::uint64_t limit_;
    std::unique_ptr<char[]> scratch_;  // for looking a chapter over ahead
};

}  // namespace tovane
