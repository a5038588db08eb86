// A deliberately simple splitter holding the whole file in memory, written
// straight from the rules, to check the streaming one against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovane::test {

// The parts a split of `data` with `limit` bytes a part must give, in order.
std::vector<std::string> referenceSplit(const std::string& data, std::uint64_t limit);

}  // namespace tovane::test
