#include "split/chapters/book_pass.h"

#include <algorithm>
#include <limits>

#include "split/chapters/structure_thresholds.h"

namespace tovane {

namespace {

using namespace structure_thresholds;

bool isEmpty(const LineSource::Line& line, const Codec& codec) {
    if (line.length == 0) return true;
    if (!line.inView() || line.length > 16) return false;
    const std::string_view bytes = line.view();
    for (std::size_t at = 0; at < bytes.size();) {
        if (!isBlank(codec.decode(bytes, at))) return false;
    }
    return true;
}

bool startsWithAny(std::u32string_view text, std::initializer_list<std::u32string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [text](std::u32string_view word) { return text.starts_with(word); });
}

bool holdsAny(std::u32string_view text, std::initializer_list<std::u32string_view> words) {
    return std::any_of(words.begin(), words.end(), [text](std::u32string_view word) {
        return text.find(word) != std::u32string_view::npos;
    });
}

// Whether a line names a site or a file: www., http, .com, .txt, also as
// sites mangle them to pass filters (wＷw．xiＡo, www/site.n et): the ASCII
// letters of each stretch without ideographs, marks and blanks left out.
bool namesSite(std::u32string_view text) {
    static constexpr std::string_view kMarks[] = {"www", "http", "txt", "com", "net"};
    std::array<char, 64> letters{};
    std::size_t count = 0;
    bool found = false;
    const auto endStretch = [&] {
        const std::string_view stretch(letters.data(), count);
        for (std::string_view mark : kMarks) {
            found = found || stretch.find(mark) != std::string_view::npos;
        }
        count = 0;
    };
    for (char32_t c : text) {
        if (c >= U'\xFF01' && c <= U'\xFF5E') c = c - U'\xFF01' + U'!';  // full-width ASCII
        if (c >= U'A' && c <= U'Z') c = c - U'A' + U'a';
        if (c >= U'a' && c <= U'z' && count < letters.size()) {
            letters[count++] = static_cast<char>(c);
        } else if (c > 0x7F) {
            endStretch();
        }
    }
    endStretch();
    return found || holdsAny(text, {U"作者：", U"作者:"});
}

// What a short line is as a neighbour of a heading.
void describe(std::u32string_view text, LineNote& note) {
    note.longText = text.size() > HeadingReader::kMaxHeadingCharacters;
    note.titleLike = text.size() <= kTitleCharacters && !holdsSentencePunctuation(text);
    note.dateStamp =
        startsWithAny(text, {U"更新时间", U"更新日期", U"发布时间", U"发表时间", U"上传时间"}) ||
        holdsAny(text, {U"字数：", U"字数:"});
    note.byline = startsWithAny(text, {U"◇", U"文/", U"文／", U"作者/", U"作者／"});
    note.siteLine = namesSite(text);
}

std::uint16_t backFrom(std::uint64_t later, std::uint64_t earlier) {
    const std::uint64_t back = later - earlier;
    return back <= std::numeric_limits<std::uint16_t>::max() ? static_cast<std::uint16_t>(back)
                                                             : 0;
}

}  // namespace

// A line with text, held until the line with text after it has been seen.
struct BookPass::TextLine {
    bool exists = false;
    std::uint64_t offset = 0;
    std::uint64_t line = 0;
    std::uint64_t length = 0;
    std::uint64_t charactersBefore = 0;
    std::uint64_t bytesBefore = 0;
    std::uint32_t blanksBefore = 0;
    std::uint32_t blanksAfter = 0;
    bool inFront = false;
    bool candidate = false;  // settled as one
    std::optional<HeadingLine> heading;  // as the heading rule reads it
    // Its bytes, or their start: a site's banner names itself in it.
    std::array<char, HeadingReader::kMaxBytes> bytes;
    std::size_t held = 0;
    bool whole = false;  // all of them: the line is short enough to be a heading
    // Read when first asked for.
    bool titleRead = false;
    std::optional<HeadingLine> title;
    bool noted = false;
    LineNote note;
};

BookPass::BookPass(std::shared_ptr<SourceFile> source, const SourceFormat& format, std::string path,
                   std::shared_ptr<const HeadingPattern> pattern, bool measure,
                   const std::atomic<bool>* stopRequested)
    : file_(source),
      path_(std::move(path)),
      pattern_(std::move(pattern)),
      measure_(measure),
      stopRequested_(stopRequested),
      source_(
          std::move(source), format, {}, [] { return true; }, {}, stopRequested) {
    const std::uint64_t characterBytes = source_.codec().encoding() == Encoding::Utf8 ? 3 : 2;
    measures_.shortLineBytes = 40 * characterBytes;
    // A title's characters, its indent and its decoration.
    titleBytes_ = (kTitleCharacters + 10) * characterBytes;
}

const LineNote& BookPass::noteOf(TextLine& line) {
    if (!line.noted) {
        line.noted = true;
        line.note = {};
        line.note.exists = true;
        HeadingReader::ShortText text;
        const std::u32string_view words = reader_->decoded({line.bytes.data(), line.held}, text);
        describe(words, line.note);
        if (!line.whole || line.length > measures_.shortLineBytes * 2) {
            line.note.longText = true;
            line.note.titleLike = false;
        }
    }
    // A neighbour is a candidate where it reads as a heading; a title marked
    // by what stands around it is a line of text to its neighbours.
    line.note.candidate = line.heading.has_value();
    return line.note;
}

const std::optional<HeadingLine>& BookPass::titleOf(TextLine& line) {
    if (!line.titleRead) {
        line.titleRead = true;
        if (line.whole && !line.heading) line.title = reader_->readTitle({line.bytes.data(), line.held});
    }
    return line.title;
}

// Whether a candidate is kept: a list's items past its first few, and
// copies of one heading past the first few, are left out and counted.
bool BookPass::keep(const Candidate& candidate) {
    const HeadingLine& now = candidate.heading;
    const LastSeen then = lastSeen_;
    const std::uint32_t lines = linesSinceSeen_;
    lastSeen_ = {true, now.form, now.word, now.chineseNumber, now.textHash, candidate.bytesBefore};
    linesSinceSeen_ = 0;
    if (!then.exists) return true;
    if (lines == 0 && now.textHash != 0 && now.textHash == then.textHash) {
        if (++sameRun_ >= kCopiesKept) {
            ++measures_.copiesLeftOut;
            return false;
        }
    } else {
        sameRun_ = 0;
    }
    if (now.weak() && now.form == then.form && now.word == then.word &&
        now.chineseNumber == then.chineseNumber &&
        candidate.bytesBefore - then.bytesBefore < kListSpacing && lines <= kListLines) {
        if (++listRun_ >= kListKept) {
            ++measures_.listItemsLeftOut;
            return false;
        }
    } else {
        listRun_ = 0;
    }
    return true;
}

// Makes `line` a candidate when it reads as a heading, or as a title that
// something marks; `before` and `after` are the lines with text around it.
bool BookPass::settle(TextLine& line, TextLine* before, TextLine* after) {
    Candidate candidate;
    bool isCandidate = false;
    bool leftOut = false;  // a candidate the pass leaves out: a list's item or a copy
    if (line.heading) {
        candidate.heading = *line.heading;
        isCandidate = true;
    } else if (line.length <= titleBytes_) {
        // Cheapest first, and a line's words are read only where something
        // may mark it: most lines of a book go no further. A title seen at
        // the front before is listed there: this is its second place.
        const std::uint64_t key = reader_->lineKey({line.bytes.data(), line.held});
        const bool listed = !frontTitles_.empty() && frontTitles_.contains(key);
        // A neighbour is read only where it is short enough to be a date
        // stamp, an author's name, a banner or a title.
        const auto shortLine = [this](const TextLine* other) {
            return other != nullptr && other->length <= 2 * titleBytes_;
        };
        const auto titleOrHeading = [&](TextLine* other) {
            return shortLine(other) && (noteOf(*other).titleLike || noteOf(*other).candidate);
        };
        const auto markedAfter = [&] {
            return shortLine(after) &&
                   reader_->opensAsNoteUnderTitle({after->bytes.data(), after->held});
        };
        // A banner above a title stands apart from the text by a blank line.
        const auto markedBefore = [&] {
            return line.blanksBefore > 0 && shortLine(before) && noteOf(*before).siteLine;
        };
        const bool setOff = line.blanksBefore > 0 || line.blanksAfter > 0;
        const bool marked = listed || line.blanksBefore >= 2 ||
                            (line.inFront && (titleOrHeading(before) || titleOrHeading(after))) ||
                            markedAfter() || markedBefore();
        // A title of a form of its own (书评一：, 中译本前言) needs only be set off.
        if (marked || setOff || line.inFront) {
            if (const std::optional<HeadingLine>& title = titleOf(line)) {
                if (line.inFront && !listed && frontTitles_.size() < kMostFrontTitles) {
                    frontTitles_.insert(key);
                }
                isCandidate = marked || (setOff && title->form != HeadingLine::Form::Plain);
                candidate.heading = *title;
            }
        }
    }
    if (isCandidate) {
        candidate.offset = line.offset;
        candidate.line = line.line;
        candidate.length = static_cast<std::uint16_t>(line.length);
        candidate.charactersBefore = line.charactersBefore;
        candidate.bytesBefore = line.bytesBefore;
        candidate.linesBetween = linesBetween_;
        candidate.longestBetween = static_cast<std::uint16_t>(std::min<std::uint32_t>(longestBetween_, 65535));
        candidate.blanksBefore = static_cast<std::uint16_t>(std::min<std::uint32_t>(line.blanksBefore, 65535));
        candidate.blanksAfter = static_cast<std::uint16_t>(std::min<std::uint32_t>(line.blanksAfter, 65535));
        if (before != nullptr) {
            candidate.previous = noteOf(*before);
            candidate.previousOffsetBack = backFrom(line.offset, before->offset);
            candidate.previousBytesBack = backFrom(line.bytesBefore, before->bytesBefore);
            candidate.previousCharactersBack =
                backFrom(line.charactersBefore, before->charactersBefore);
        }
        if (after != nullptr) candidate.next = noteOf(*after);
        isCandidate = keep(candidate);
        leftOut = !isCandidate;
    }
    if (!isCandidate) {
        if (!leftOut) ++linesSinceSeen_;
        ++linesBetween_;
        longestBetween_ = static_cast<std::uint32_t>(
            std::max<std::uint64_t>(longestBetween_, std::min<std::uint64_t>(line.length, UINT32_MAX)));
        return true;
    }
    if (candidates_.size() == kMostCandidates) {
        problem_ = Problem::of(Problem::Kind::TooManyHeadings);
        return false;
    }
    line.candidate = true;
    candidates_.push_back(candidate);
    linesBetween_ = 0;
    longestBetween_ = 0;
    return true;
}

BookPass::Result BookPass::run() {
    reader_ = std::make_unique<HeadingReader>(source_.codec(), pattern_);
    const Codec& codec = source_.codec();
    const std::uint64_t lineBreak = codec.lineBreak().size();
    measures_.bytes = file_->size();
    frontBytes_ = std::clamp(measures_.bytes / 5, kLeastFront, kMostFront);

    // The line before the one held, the one held and the one just read.
    std::array<TextLine, 3> lines;
    TextLine* before = &lines[0];
    TextLine* held = &lines[1];
    TextLine* now = &lines[2];
    std::uint32_t blanks = 0;
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
            if (blanks < UINT32_MAX) ++blanks;
            if (held->exists) held->blanksAfter = blanks;
            continue;
        }
        TextLine& text = *now;
        text.exists = true;
        text.offset = line.offset;
        text.line = lineNumber;
        text.length = line.length;
        text.charactersBefore = charactersBefore;
        text.bytesBefore = bytesBefore;
        text.blanksBefore = blanks;
        text.blanksAfter = 0;
        text.inFront = bytesBefore < frontBytes_;
        text.candidate = false;
        text.titleRead = false;
        text.noted = false;
        text.title.reset();
        text.heading.reset();
        text.whole = line.inView() && line.length <= text.bytes.size();
        text.held = 0;
        if (line.inView()) {
            text.held = static_cast<std::size_t>(std::min<std::uint64_t>(line.length, text.bytes.size()));
            std::copy_n(line.view().data(), text.held, text.bytes.data());
            if (text.whole) text.heading = reader_->read(line.view());
        }
        if (line.length < lengths_.size()) ++lengths_[line.length];
        if (line.length > measures_.shortLineBytes) {
            ++measures_.textLines;
            for (std::uint32_t k = 0; k < 4; ++k) {
                if (blanks > k) ++measures_.textLinesAfterBlanks[k];
            }
        }
        blanks = 0;
        if (held->exists && !settle(*held, before->exists ? before : nullptr, now)) {
            return Result::Failed;
        }
        TextLine* const free = before;
        before = held;
        held = now;
        now = free;
    }
    switch (source_.trouble()) {
        case LineSource::Trouble::None:
        case LineSource::Trouble::Refused:
            if (held->exists && !settle(*held, before->exists ? before : nullptr, nullptr)) {
                return Result::Failed;
            }
            measureWrap();
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

// A book wrapped at a width has a quarter of its lines or more within a
// character of one length, past a short line's.
void BookPass::measureWrap() {
    const std::size_t character = source_.codec().encoding() == Encoding::Utf8 ? 3 : 2;
    std::uint64_t lines = 0;
    for (std::size_t length = 20; length < lengths_.size(); ++length) lines += lengths_[length];
    std::uint64_t most = 0;
    for (std::size_t length = measures_.shortLineBytes / 2; length + character < lengths_.size();
         ++length) {
        std::uint64_t near = 0;
        for (std::size_t k = 0; k <= character; ++k) near += lengths_[length + k];
        if (near > most && 4 * near >= lines) {
            most = near;
            measures_.wrapBytes = length;
        }
    }
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
