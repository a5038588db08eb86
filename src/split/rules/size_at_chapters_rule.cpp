#include "split/rules/size_at_chapters_rule.h"

#include "split/part_limit.h"
#include "split/text/char_counter.h"

namespace tovane {

namespace {

constexpr std::size_t kScratch = std::size_t{64} << 10;

}  // namespace

SizeAtChaptersRule::SizeAtChaptersRule(LineSource& source, const SplitPlan& plan,
                                       const std::atomic<bool>* stopRequested)
    : source_(source),
      starts_(source, plan.sourcePath, plan.heading, stopRequested),
      limit_(plan.byteLimit) {}

bool SizeAtChaptersRule::opensPart(const LineSource::Line& line, const Part& part) {
    const bool heading = starts_.begins(line);
    if (part.number == 0) return true;
    if (!heading) return false;
    if (part.written > limit_) return true;
    const std::uint64_t room = limit_ - part.written;
    return measureChapter(line.offset, room) > room;
}

// A run ends before the next heading, which is shown alone.
CutRule::Run SizeAtChaptersRule::run(std::string_view ahead, const Part& part) {
    if (part.number == 0) return {};
    return {starts_.before(ahead), kUnlimitedPart, false};
}

// The characters of the chapter whose heading starts at `offset`, read ahead
// from the file a stretch at a time. Counting stops once it passes `room`:
// the answer is then only known to be larger.
std::uint64_t SizeAtChaptersRule::measureChapter(std::uint64_t offset, std::uint64_t room) {
    if (!scratch_) scratch_.reset(new char[kScratch]);
    char* const scratch = scratch_.get();
    const CrlfScan& scan = source_.scan();
    const TextEncoding encoding = source_.encoding();
    const std::uint64_t end = starts_.endOfChapterAt(offset);
    std::uint64_t characters = 0;  // of the lines ended so far, with the CR LF after each
    std::uint64_t lines = 0;
    CharCounter line(encoding);  // the line being read
    bool lineStart = true;       // the line began in the stretch in view
    std::uint64_t at = offset;
    // The CR LF counted after the last line ended so far belongs between it
    // and the next; the chapter doesn't end with one.
    const auto total = [&] {
        return characters + line.count() - (lines > 0 && line.count() == 0 ? 2 : 0);
    };
    while (characters <= room + 2 && at < end) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kScratch, end - at));
        const std::int64_t got = source_.readAt(at, scratch, want);
        if (got < 0) return 0;  // the split itself then fails to read
        const auto size = static_cast<std::size_t>(got);
        const bool last = size < want || at + size >= end;
        std::size_t i = 0;
        while (i < size) {
            const CrlfScan::Line found = scan.nextLine(scratch, i, size, last);
            if (found.none) break;
            if (!found.complete) {
                if (lineStart && i > 0) break;  // read again from the line's start
                // A line longer than the stretch is counted as it goes by.
                line.feed({scratch + i, found.length});
                lineStart = false;
                i += found.length;
                break;
            }
            line.feed({scratch + i, found.length});
            characters += line.count() + 2;
            ++lines;
            line = CharCounter(encoding);
            if (characters > room + 2) return total();
            i += found.length + found.terminator;
            lineStart = true;
        }
        at += i;
        if (last && (i == 0 || i >= size)) break;
    }
    return total();
}

}  // namespace tovane
