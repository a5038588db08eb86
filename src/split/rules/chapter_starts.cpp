#include "split/rules/chapter_starts.h"

#include <algorithm>

namespace tovane {

namespace {

constexpr std::size_t kStretch = std::size_t{256} << 10;

}  // namespace

ChapterStarts::ChapterStarts(LineSource& source, std::shared_ptr<const HeadingPattern> pattern)
    : source_(source), heading_(source.encoding(), std::move(pattern)) {}

bool ChapterStarts::begins(const LineSource::Line& line) {
    const bool heading = line.inView() && heading_.matches(line.view());
    if (heading) ++seen_;
    return heading;
}

std::size_t ChapterStarts::firstIn(std::string_view ahead) const {
    const std::size_t available = std::min(ahead.size(), kStretch);
    const CrlfScan& scan = source_.scan();
    std::size_t at = 0;
    while (at < available) {
        const CrlfScan::Line line = scan.nextLine(ahead.data(), at, available, false);
        if (!line.complete) break;
        if (heading_.matches(ahead.substr(at, line.length))) return at;
        at += line.length + line.terminator;
    }
    return at;
}

}  // namespace tovane
