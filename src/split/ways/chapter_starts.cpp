#include "split/ways/chapter_starts.h"

#include <algorithm>

namespace tovane {

bool ChapterStarts::begins(const SourceLine& line) {
    const std::vector<ChapterBlock>& blocks = map_->blocks;
    while (next_ < blocks.size() && blocks[next_].offset < line.offset) ++next_;
    if (next_ == blocks.size() || blocks[next_].offset != line.offset) return false;
    ++next_;
    return true;
}

std::size_t ChapterStarts::before(std::string_view ahead, std::uint64_t aheadOffset) const {
    const std::vector<ChapterBlock>& blocks = map_->blocks;
    const auto next = std::lower_bound(
        blocks.begin() + static_cast<std::ptrdiff_t>(next_), blocks.end(), aheadOffset,
        [](const ChapterBlock& block, std::uint64_t offset) { return block.offset < offset; });
    if (next == blocks.end() || next->offset - aheadOffset >= ahead.size()) return ahead.size();
    return static_cast<std::size_t>(next->offset - aheadOffset);
}

}  // namespace tovane
