// Which lines begin a chapter, for the rules that cut at chapters: the
// heading rule applied to lines in view, counting the headings it met.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "split/line_source.h"
#include "split/text/chapter_heading.h"

namespace tovane {

class ChapterStarts {
public:
    ChapterStarts(LineSource& source, std::shared_ptr<const HeadingPattern> pattern);

    // Whether the line is a heading, counted when it is. A line longer than
    // a piece is too long to be one.
    bool begins(const LineSource::Line& line);
    // Where the first heading in ahead[0, available) starts, looking at whole
    // lines only and at most a stretch at a time, so that no line is looked
    // at twice when a run is cut short: 0 when `ahead` starts with one,
    // otherwise the end of the last whole line before it.
    std::size_t firstIn(std::string_view ahead) const;
    // Whether the line p[0, length) is a heading, without counting it.
    bool isHeading(std::string_view line) const { return heading_.matches(line); }

    std::uint64_t seen() const { return seen_; }

private:
    LineSource& source_;
    ChapterHeading heading_;
    std::uint64_t seen_ = 0;
};

}  // namespace tovane
