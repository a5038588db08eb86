// The ways of splitting, in one table (way_list.h), and what is known of a
// split by one of them before it runs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "split/ways/split_way.h"

namespace tovane {

// Every way, in the order of the window's menu.
std::span<const SplitWay* const> allWays();
const SplitWay& wayOf(SplitMode mode);

// The part each chapter of `map` goes into, from 1, in a way that cuts at
// chapters: the way's own rule run over the chapters' starts and sizes, as
// the split will meet them. Empty for any other way, for a map without
// chapters, or for one whose chapters weren't measured where the way
// measures them.
std::vector<std::uint64_t> partOfEachChapter(const SplitWay& way, const WayNumbers& numbers,
                                             const ChapterMap& map);
// How many parts that makes: the last chapter's part, or 0.
std::uint64_t partsOfChapters(const SplitWay& way, const WayNumbers& numbers,
                              const ChapterMap& map);

}  // namespace tovane
