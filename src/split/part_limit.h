// Turns the size and count texts a user typed into the byte limit of a part:
// the texts are exact decimal numbers, and every rounding is to the nearest
// integer with halves to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovane {

// A limit past any real file, for numbers too large to represent.
inline constexpr std::uint64_t kUnlimitedPart = UINT64_MAX;

// Kilobytes per part -> bytes per part. Accepts a non-negative decimal number
// with blanks around it ("100", " 0 ", "1.5"); anything else gives nothing.
std::optional<std::uint64_t> limitFromSizeText(std::string_view text);

// Number of parts -> bytes per part, from the source's size. Accepts a
// positive decimal number with blanks around it; anything else gives nothing.
std::optional<std::uint64_t> limitFromCountText(std::string_view text, std::uint64_t fileSize);

// Number of parts -> the most parts a run by count makes: the number, or
// the next whole one above a fraction (2.5 -> 3); kUnlimitedPart past 2^64.
// Nothing for a text limitFromCountText refuses.
std::optional<std::uint64_t> mostPartsFromCountText(std::string_view text);

// A byte limit shown in kilobytes, rounded half to even.
std::uint64_t limitInKilobytes(std::uint64_t limit);

// How many groups of `perPart` (at least 1) `items` make, the last one
// perhaps short; never overflows.
inline std::uint64_t groupsOf(std::uint64_t items, std::uint64_t perPart) {
    return items / perPart + (items % perPart != 0 ? 1 : 0);
}

// A whole number with blanks around it ("10", " 3 "); nothing for anything
// else, a fraction included, or for a number past 2^64.
std::optional<std::uint64_t> wholeNumberFromText(std::string_view text);

}  // namespace tovane
