// A deliberately simple splitter holding the whole file in memory, written
// straight from the rules, to check the streaming one against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "split/split_types.h"

namespace tovane::test {

// The parts a split of `data` with `limit` bytes a part must give, in order.
std::vector<std::string> referenceSplit(const std::string& data, std::uint64_t limit);

// The same by chapters (ByChapters or BySizeAtChapters), the headings being
// the lines numbered `headingLines` (from 1); no part at all without one.
std::vector<std::string> referenceChapterSplit(const std::string& data, SplitMode mode,
                                               std::uint64_t limit, std::uint64_t chaptersPerPart,
                                               const std::vector<std::uint64_t>& headingLines);

// The parts of a split where no part is larger than `cap` bytes; lines too
// long for a part are cut between characters.
std::vector<std::string> referenceMaxSizeSplit(const std::string& data, std::uint64_t cap);

}  // namespace tovane::test
