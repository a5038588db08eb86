#include "split/chapters/book_pass.h"

#include <algorithm>

namespace tovane {

namespace {

// More candidate headings than any book has: a file of them is no book.
constexpr std::size_t kMostCandidates = 1000000;
// A line of this many characters or fewer, without sentence punctuation,
// can be the title line of a heading.
constexpr std::size_t kTitleCharacters = 30;

bool isEmpty(const LineSource::Line& line, const Codec& codec) {
    if (line.length == 0) return true;
    if (!line.inView() || line.length > 16) return false;
    const std::string_view bytes = line.view();
    for (std::size_t at = 0; at < bytes.size();) {
        if (!isBlank(codec.decode(bytes, at))) return false;
    }
    return true;
}

}  // namespace

BookPass::BookPass(std::shared_ptr<SourceFile> source, const SourceFormat& format, std::string path,
                   std::shared_ptr<const HeadingPattern> pattern, bool measure,
                   const std::atomic<bool>* stopRequested)
    : file_(source),
      path_(std::move(path)),
      pattern_(std::move(pattern)),
      measure_(measure),
      stopRequested_(stopRequested),
      source_(
          std::move(source), format, {}, [] { return true; }, {}, stopRequested) {}

std::uint64_t BookPass::shortLineBytes() const {
    return 40 * (source_.codec().encoding() == Encoding::Utf8 ? 3 : 2);
}

// What the decision needs of a line with text: whether it could be a title
// line, or is longer than any heading.
bool BookPass::describeShort(std::string_view bytes, LineNote& note) const {
    if (bytes.size() > shortLineBytes() * 2) {
        note.longText = true;
        return true;
    }
    const std::u32string decoded = source_.codec().decodeLine(bytes);
    const std::u32string_view text = trimmed(decoded);
    note.longText = text.size() > HeadingReader::kMaxHeadingCharacters;
    note.titleLike = text.size() <= kTitleCharacters && !holdsSentencePunctuation(text);
    return true;
}

BookPass::Result BookPass::run() {
    const HeadingReader reader(source_.codec(), pattern_);
    const Codec& codec = source_.codec();
    const std::uint64_t lineBreak = codec.lineBreak().size();

    // The last line with text, for the candidate after it.
    struct Seen {
        bool exists = false;
        bool candidate = false;
        std::uint64_t offset = 0;
        std::uint64_t line = 0;
        std::uint64_t length = 0;
        std::uint64_t charactersBefore = 0;
        std::uint64_t bytesBefore = 0;
    } last;
    bool blankSinceLast = false;
    std::size_t awaitingNext = SIZE_MAX;  // the candidate whose next line is still to come
    std::uint32_t linesBetween = 0;
    std::uint32_t longestBetween = 0;
    std::uint64_t bytesBetween = 0;
    std::uint64_t lineNumber = 0;

    LineSource::Line line;
    while (source_.next(line)) {
        ++lineNumber;
        const std::uint64_t charactersBefore = characters_;
        const std::uint64_t bytesBefore = bytes_;
        bytes_ += line.length + lineBreak;
        if (measure_) characters_ += source_.characters(line) + 2;
        if ((lineNumber & 0xFFF) == 0 && stopRequested_ != nullptr && stopRequested_->load()) {
            return Result::Stopped;
        }
        if (isEmpty(line, codec)) {
            if (awaitingNext != SIZE_MAX && !blankSinceLast)
                candidates_[awaitingNext].blankAfter = true;
            blankSinceLast = true;
            continue;
        }
        std::optional<HeadingLine> heading;
        if (line.inView()) heading = reader.read(line.view());
        if (!heading) {
            if (awaitingNext != SIZE_MAX) {
                LineNote& next = candidates_[awaitingNext].next;
                next = {true,       false, false, false, line.offset, lineNumber, charactersBefore,
                        bytesBefore};
                if (line.inView()) {
                    describeShort(line.view(), next);
                } else {
                    next.longText = true;
                }
                awaitingNext = SIZE_MAX;
            }
            ++linesBetween;
            if (line.length > longestBetween) {
                longestBetween =
                    static_cast<std::uint32_t>(std::min<std::uint64_t>(line.length, UINT32_MAX));
            }
            bytesBetween += line.length;
        } else {
            if (candidates_.size() == kMostCandidates) {
                problem_ = Problem::of(Problem::Kind::TooManyHeadings);
                return Result::Failed;
            }
            if (awaitingNext != SIZE_MAX) {
                candidates_[awaitingNext].next = {
                    true,       true, false, false, line.offset, lineNumber, charactersBefore,
                    bytesBefore};
            }
            Candidate candidate;
            candidate.offset = line.offset;
            candidate.line = lineNumber;
            candidate.length = static_cast<std::uint32_t>(line.length);
            candidate.heading = *heading;
            candidate.charactersBefore = charactersBefore;
            candidate.bytesBefore = bytesBefore;
            candidate.linesBetween = linesBetween;
            candidate.longestBetween = longestBetween;
            candidate.bytesBetween = bytesBetween;
            candidate.blankBefore = blankSinceLast;
            if (last.exists) {
                LineNote& previous = candidate.previous;
                previous = {true,      last.candidate,        false,           false, last.offset,
                            last.line, last.charactersBefore, last.bytesBefore};
                // Its bytes are read again: the pass keeps no line but the one it is at.
                if (last.length <= shortLineBytes() * 2) {
                    std::string bytes(static_cast<std::size_t>(last.length), '\0');
                    const std::int64_t got =
                        source_.readAt(last.offset, bytes.data(), bytes.size());
                    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
                    describeShort(bytes, previous);
                } else {
                    previous.longText = true;
                }
            }
            candidates_.push_back(candidate);
            awaitingNext = candidates_.size() - 1;
            linesBetween = 0;
            longestBetween = 0;
            bytesBetween = 0;
        }
        last = {true,        heading.has_value(), line.offset, lineNumber,
                line.length, charactersBefore,    bytesBefore};
        blankSinceLast = false;
    }
    switch (source_.trouble()) {
        case LineSource::Trouble::None:
        case LineSource::Trouble::Refused:
            return Result::Done;
        case LineSource::Trouble::Stopped:
            return Result::Stopped;
        case LineSource::Trouble::Read:
        case LineSource::Trouble::Changed:
            break;
    }
    problem_ = Problem::about(Problem::Kind::CannotRead, path_, source_.error());
    return Result::Failed;
}

std::string BookPass::textOf(const Candidate& candidate) {
    std::string bytes(candidate.length, '\0');
    const std::int64_t got = source_.readAt(candidate.offset, bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const std::u32string decoded = source_.codec().decodeLine(bytes);
    std::string utf8;
    for (char32_t c : trimmed(decoded)) utf8 += utf8Codec().encode(c);
    return utf8;
}

}  // namespace tovane
