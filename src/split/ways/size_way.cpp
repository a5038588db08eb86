#include "split/ways/size_way.h"

#include <algorithm>

#include "split/part_limit.h"

#include "split/ways/split_way.h"
#include "split/ways/way_numbers.h"

namespace tovane {

namespace {

// The most bytes of UTF-8 a character counted by the size test becomes.
constexpr std::uint64_t kMostBytesACharacter = 3;

}  // namespace

// Most lines are decided from their byte length alone: the fewest and the
// most characters so many bytes can hold; only the rest are counted.
bool SizeRule::opensPart(const SourceLine& line, const Part& part) {
    if (part.number == 0) return true;
    if (lastPart(part)) return false;
    if (held(part) > limit_) return true;
    const std::uint64_t room = limit_ - held(part);
    const Codec& codec = measure_.codec();
    if (codec.mostCharacters(line.length) <= room) return false;
    if (codec.fewestCharacters(line.length) > room) return true;
    return measure_.characters(line) > room;
}

// Lines whose bytes alone stay within the room left fit whatever their characters.
CutRule::Run SizeRule::run(std::string_view ahead, std::uint64_t /*aheadOffset*/,
                           const Part& part) {
    if (part.number == 0) return {};
    if (lastPart(part)) return {ahead.size(), kUnlimitedPart, false};
    if (held(part) > limit_) return {};
    // A run is measured in characters, which a part converted on its way out
    // holds in up to three bytes each (four for a character of two code units
    // of UTF-16, itself counted twice): so far and no further, the rest a line
    // at a time.
    if (asWritten_ && measure_.converted()) {
        return {ahead.size(), (limit_ - held(part)) / kMostBytesACharacter, false};
    }
    return {ahead.size(), limit_ - held(part), false};
}

// Any two parts in a row hold more than the limit between them (the second
// began because its first line didn't fit the first), so there are at most
// twice as many as the limit goes into the size; ten times that is to spare.
std::uint64_t SizeRule::partsAtMost(std::uint64_t size) const {
    std::uint64_t most = CutRule::partsAtMost(size);
    if (mostParts_ != 0) most = std::min(most, mostParts_);
    if (limit_ == 0) return most;
    return std::min(most, 10 * (2 * (size / limit_) + 2));
}

namespace {

std::unique_ptr<CutRule> sizeRule(const WayNumbers& numbers, LineMeasure& measure,
                                  std::shared_ptr<const ChapterMap>) {
    return std::make_unique<SizeRule>(measure, numbers.byteLimit, 0, true);
}

}  // namespace

const SplitWay& sizeWay() {
    static const SplitWay way{SplitMode::BySize,    "--size",      "",
                              WayNumber::Kilobytes, "100",         false,
                              WayCuts::AnyLine,     readKilobytes, sizeRule};
    return way;
}

}  // namespace tovane
