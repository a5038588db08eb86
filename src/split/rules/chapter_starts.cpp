#include "split/rules/chapter_starts.h"

#include <algorithm>

#include "split/chapter_list.h"
#include "split/split_texts.h"

namespace tovane {

ChapterStarts::ChapterStarts(LineSource& source, const std::string& sourcePath,
                             const std::shared_ptr<const HeadingPattern>& pattern,
                             const std::atomic<bool>* stopRequested)
    : source_(source) {
    const ChapterList list = findChapters(sourcePath, pattern, false, stopRequested);
    switch (list.result) {
        case ChapterList::Result::Done:
            break;
        case ChapterList::Result::Failed:
            problem_ = list.message;
            return;
        case ChapterList::Result::Stopped:
            return;  // the split sees the stop itself
    }
    for (const Chapter& chapter : list.chapters) offsets_.push_back(chapter.offset);
    if (offsets_.empty()) problem_ = texts::kNoHeadings;
}

bool ChapterStarts::begins(const LineSource::Line& line) {
    while (next_ < offsets_.size() && offsets_[next_] < line.offset) ++next_;
    if (next_ == offsets_.size() || offsets_[next_] != line.offset) return false;
    ++next_;
    return true;
}

std::size_t ChapterStarts::before(std::string_view ahead) const {
    const std::uint64_t at = source_.aheadOffset();
    const auto next =
        std::lower_bound(offsets_.begin() + static_cast<std::ptrdiff_t>(next_), offsets_.end(), at);
    if (next == offsets_.end() || *next - at >= ahead.size()) return ahead.size();
    return static_cast<std::size_t>(*next - at);
}

std::uint64_t ChapterStarts::endOfChapterAt(std::uint64_t offset) const {
    const auto next = std::upper_bound(offsets_.begin(), offsets_.end(), offset);
    return next == offsets_.end() ? source_.size() : *next;
}

}  // namespace tovane
