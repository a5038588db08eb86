// How the ways read the numbers typed for them, for those that share a kind.
#pragma once

#include <string_view>

#include "split/ways/split_way.h"

namespace tovane {

// Kilobytes a part (fractions allowed): the byte limit, and the text as the
// summary's figure.
Problem readKilobytes(std::string_view text, const NumberContext& context, WayNumbers& numbers);
// A whole number of at least 1 (chapters or volumes a part); `refusal` when
// the text isn't one.
Problem readPerPart(std::string_view text, Problem::Kind refusal, WayNumbers& numbers);

}  // namespace tovane
