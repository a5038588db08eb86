// Where chapters begin, for the rules that cut at chapters: the blocks of
// the chapter map, met in order as the split goes through the lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "split/chapters/chapter_map.h"
#include "split/line_measure.h"

namespace tovane {

class ChapterStarts {
public:
    explicit ChapterStarts(std::shared_ptr<const ChapterMap> map) : map_(std::move(map)) {}

    // Whether the line begins a chapter; the lines must come in order.
    bool begins(const SourceLine& line);
    // How many blocks the map holds: text before the first chapter and each
    // chapter (volume) is one.
    std::size_t count() const { return map_->blocks.size(); }
    // The chapter the last line that began one began.
    const ChapterBlock& current() const { return map_->blocks[next_ - 1]; }
    // Bytes of `ahead` (the lines in view, starting at `aheadOffset` in the
    // file) before the next chapter begins in it, or all of them.
    std::size_t before(std::string_view ahead, std::uint64_t aheadOffset) const;

private:
    std::shared_ptr<const ChapterMap> map_;
    std::size_t next_ = 0;  // the first block not yet met
};

}  // namespace tovane
