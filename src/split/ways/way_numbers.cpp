#include "split/ways/way_numbers.h"

#include "split/part_limit.h"

namespace tovane {

Problem readKilobytes(std::string_view text, const NumberContext&, WayNumbers& numbers) {
    const std::optional<std::uint64_t> limit = limitFromSizeText(text);
    if (!limit) return Problem::of(Problem::Kind::BadSize);
    numbers.byteLimit = *limit;
    numbers.perPartFigure = text;
    return {};
}

Problem readPerPart(std::string_view text, Problem::Kind refusal, WayNumbers& numbers) {
    const std::optional<std::uint64_t> count = wholeNumberFromText(text);
    if (!count || *count == 0) return Problem::of(refusal);
    numbers.perPart = *count;
    numbers.perPartFigure = std::to_string(*count);
    return {};
}

}  // namespace tovane
