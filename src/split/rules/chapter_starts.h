// Where chapters begin, for the rules that cut at chapters: the headings the
// chapter list found in its pass over the source, met in order as the split
// goes through the lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "split/line_source.h"
#include "split/text/heading_pattern.h"

namespace tovane {

class ChapterStarts {
public:
    // Finds the headings of the source `source` reads, with the built-in
    // rule or the user's `pattern`; problem() says why when it can't.
    ChapterStarts(LineSource& source, const std::string& sourcePath,
                  const std::shared_ptr<const HeadingPattern>& pattern,
                  const std::atomic<bool>* stopRequested);

    // Whether the line is a heading; the lines must come in order.
    bool begins(const LineSource::Line& line);
    // Bytes of `ahead` (the lines in view) before the next heading in it, or
    // all of them when none is.
    std::size_t before(std::string_view ahead) const;
    // Where the chapter that begins at the heading at `offset` ends: the next
    // heading, or the end of the file.
    std::uint64_t endOfChapterAt(std::uint64_t offset) const;

    std::string_view problem() const { return problem_; }

private:
    LineSource& source_;
    std::vector<std::uint64_t> offsets_;  // of the headings, in order
    std::size_t next_ = 0;                // the first heading not yet met
    std::string problem_;
};

}  // namespace tovane
