#include "split/ways/ways.h"

#include <iterator>

#include "split/chapters/chapter_map.h"

namespace tovane {

// Each defined in the way's own file.
#define TOVANE_DECLARE_WAY(mode, way) const SplitWay& way();
TOVANE_WAYS(TOVANE_DECLARE_WAY)
#undef TOVANE_DECLARE_WAY

std::span<const SplitWay* const> allWays() {
#define TOVANE_LIST_WAY(mode, way) &way(),
    static const SplitWay* const ways[] = {TOVANE_WAYS(TOVANE_LIST_WAY)};
#undef TOVANE_LIST_WAY
    return ways;
}

const SplitWay& wayOf(SplitMode mode) {
    for (const SplitWay* way : allWays()) {
        if (way->mode == mode) return *way;
    }
    return *allWays().front();
}

namespace {

// The rules that cut at chapters measure no line: they go by the chapters.
class UnmeasuredLines final : public LineMeasure {
public:
    const SourceFormat& format() const override { return format_; }
    std::uint64_t characters(const SourceLine& line) override { return line.length; }

private:
    SourceFormat format_;
};

}  // namespace

std::vector<std::uint64_t> partOfEachChapter(const SplitWay& way, const WayNumbers& numbers,
                                             const ChapterMap& map) {
    if (!way.cutsAtChapters() || map.blocks.empty()) return {};
    if (way.number == WayNumber::Kilobytes && !map.measured) return {};
    UnmeasuredLines measure;
    // The map is the caller's: the rule gets a share that owns nothing.
    const std::shared_ptr<const ChapterMap> chapters(std::shared_ptr<const ChapterMap>(), &map);
    const std::unique_ptr<CutRule> rule = way.makeRule(numbers, measure, chapters);
    CutRule::Part part;
    const auto take = [&](std::uint64_t offset, std::uint64_t bytes) {
        if (rule->opensPart({nullptr, offset, 0, 0}, part)) {
            ++part.number;
            part.written = map.byteOrderMark;
        }
        part.written += bytes;
        part.output = part.written;
    };
    // The first line of the file, when it is no chapter's, opens the first part.
    if (map.prefaceBytes > 0) take(map.byteOrderMark, map.prefaceBytes);
    std::vector<std::uint64_t> parts;
    parts.reserve(map.blocks.size());
    for (const ChapterBlock& block : map.blocks) {
        take(block.offset, block.bytes);
        parts.push_back(part.number);
    }
    return parts;
}

std::uint64_t partsOfChapters(const SplitWay& way, const WayNumbers& numbers,
                              const ChapterMap& map) {
    const std::vector<std::uint64_t> parts = partOfEachChapter(way, numbers, map);
    return parts.empty() ? 0 : parts.back();
}

}  // namespace tovane
