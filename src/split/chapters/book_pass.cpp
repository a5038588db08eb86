#include "split/chapters/book_pass.h"

#include <algorithm>
#include <limits>
#include <thread>

#include "split/chapters/structure_thresholds.h"

namespace tovane {

namespace {

using namespace structure_thresholds;

constexpr std::uint64_t kNoPlace = std::numeric_limits<std::uint64_t>::max();

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
    // Its bytes when it is short enough to be a title: kept here, as blank
    // lines may come between it and the next line with text for longer than
    // the source keeps them. Of a longer line, its start where the source
    // holds it (a date stamp, a banner naming its site), for as long as the
    // source keeps it: it was handed out at `release`.
    std::array<char, HeadingReader::kMaxBytes> copy;
    std::string_view bytes;
    std::string_view start;
    std::uint64_t release = 0;
    bool whole = false;  // the line is short enough to be a heading
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
          std::move(source), format, {},
          [this] {
              ++releases_;
              return true;
          },
          [this](std::uint64_t at) { heardRead(at); }, stopRequested) {
    const std::uint64_t characterBytes = source_.codec().encoding() == Encoding::Utf8 ? 3 : 2;
    measures_.shortLineBytes = 40 * characterBytes;
    // A title's characters, its indent and its decoration.
    titleBytes_ = (kTitleCharacters + 10) * characterBytes;
}

// A line's bytes: kept for a short one; for another, as the source holds
// them, while it still does.
std::string_view BookPass::bytesOf(const TextLine& line) const {
    if (!line.bytes.empty()) return line.bytes;
    return releases_ - line.release < kReadRooms - 1 ? line.start : std::string_view();
}

const LineNote& BookPass::noteOf(TextLine& line) {
    if (!line.noted) {
        line.noted = true;
        line.note = {};
        line.note.exists = true;
        HeadingReader::ShortText text;
        const std::string_view bytes = bytesOf(line);
        if (line.whole && line.length <= 2 * titleBytes_ && !bytes.empty()) {
            describe(reader_->decoded(bytes, text), line.note);
        } else {
            line.note.longText = true;
            if (!bytes.empty()) line.note.siteLine = namesSite(reader_->decoded(bytes, text));
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
        if (!line.bytes.empty() && !line.heading) line.title = reader_->readTitle(line.bytes);
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
    if (line.offset < from_) return true;  // a line of a second pass's warming up
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
                   reader_->opensAsNoteUnderTitle(bytesOf(*after));
        };
        // A banner above a title stands apart from the text by a blank line.
        const auto markedBefore = [&] {
            return line.blanksBefore > 0 && shortLine(before) && noteOf(*before).siteLine;
        };
        const bool setOff = line.blanksBefore > 0 || line.blanksAfter > 0;
        bool marked = line.blanksBefore >= 2 ||
                      (line.inFront && (titleOrHeading(before) || titleOrHeading(after))) ||
                      markedAfter() || markedBefore();
        // Its bytes are hashed only where a title at the front opens as it does.
        const std::uint16_t opening = reader_->opening(line.bytes);
        std::uint64_t key = 0;
        bool listed = false;
        if (line.inFront || front_->openings[opening]) {
            key = reader_->lineKey(line.bytes);
            listed = front_->keys.contains(key);
            marked = marked || listed;
        }
        // A title of a form of its own (书评一：, 中译本前言) needs only be set off.
        if (marked || setOff || line.inFront) {
            if (const std::optional<HeadingLine>& title = titleOf(line)) {
                if (line.inFront && !listed && front_->keys.size() < kMostFrontTitles) {
                    front_->keys.insert(key);
                    front_->openings[opening] = true;
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

BookPass::~BookPass() = default;

void BookPass::heardRead(std::uint64_t at) {
    if (readCounter_ == nullptr || at <= readTo_) return;
    readCounter_->fetch_add(at - readTo_, std::memory_order_relaxed);
    readTo_ = at;
}

bool BookPass::stopped() const {
    return (stopRequested_ != nullptr && stopRequested_->load()) ||
           (alsoStop_ != nullptr && alsoStop_->load());
}

// The start of the first line that starts at `at` or after, or no place
// where none is found in the bytes read for it.
std::uint64_t BookPass::lineStartFrom(std::uint64_t at) {
    const CrlfScan& scan = source_.scan();
    const std::uint64_t mark = source_.format().mark().size();
    at = mark + (at - mark) / scan.unit() * scan.unit();  // a whole unit
    std::string window(std::size_t{64} << 10, '\0');
    const std::int64_t got = source_.readAt(at, window.data(), window.size());
    if (got <= 0) return kNoPlace;
    const auto size = static_cast<std::size_t>(got);
    const std::size_t end = scan.findTerminator(window.data(), 0, size);
    if (end == CrlfScan::kNotFound) return kNoPlace;
    const std::size_t terminator = scan.terminatorAt(window.data(), end, size, false);
    return terminator == 0 ? kNoPlace : at + end + terminator;
}

BookPass::BookPass(BookPass& first, std::uint64_t warmUp, std::uint64_t from)
    : file_(first.file_),
      path_(first.path_),
      pattern_(first.pattern_),
      measure_(first.measure_),
      stopRequested_(first.stopRequested_),
      source_(
          first.file_, first.source_.format(), {.start = warmUp},
          [this] {
              ++releases_;
              return true;
          },
          [this](std::uint64_t at) { heardRead(at); }, first.stopRequested_) {
    readCounter_ = first.readCounter_;
    readTo_ = warmUp;
    reader_ = std::make_unique<HeadingReader>(source_.codec(), pattern_);
    measures_.shortLineBytes = first.measures_.shortLineBytes;
    measures_.bytes = first.measures_.bytes;
    titleBytes_ = first.titleBytes_;
    front_ = first.front_;
    frontBytes_ = 0;  // no line of the second half is at the front
    from_ = from;
    alsoStop_ = &first.abandoned_;
}

BookPass::Result BookPass::run() {
    reader_ = std::make_unique<HeadingReader>(source_.codec(), pattern_);
    measures_.bytes = file_->size();
    frontBytes_ = std::clamp(measures_.bytes / 5, kLeastFront, kMostFront);
    // A large book on a machine of two processors or more: the second half
    // on a second thread, from a line start past the middle, once the front
    // is read, since the second half looks its titles up there.
    std::uint64_t middle = kNoPlace;
    std::uint64_t warmUp = kNoPlace;
    if (measures_.bytes >= kTwoThreadsFrom && std::thread::hardware_concurrency() >= 2) {
        middle = lineStartFrom(measures_.bytes / 2);
        if (middle != kNoPlace && middle > kWarmUpBytes + frontBytes_) {
            warmUp = lineStartFrom(middle - kWarmUpBytes);
        }
    }
    std::unique_ptr<BookPass> second;
    std::thread thread;
    Result secondResult = Result::Done;
    std::function<void()> frontRead;
    if (warmUp != kNoPlace && warmUp < middle) {
        until_ = middle;
        frontRead = [&] {
            second.reset(new BookPass(*this, warmUp, middle));
            thread = std::thread([&] { secondResult = second->scan({}); });
        };
    }
    Result result = scan(frontRead);
    if (thread.joinable()) {
        if (result != Result::Done) abandoned_ = true;
        thread.join();
    }
    if (second && result == Result::Done) result = join(*second, secondResult);
    if (result == Result::Done) measureWrap();
    return result;
}

// The candidates and measures of the second half after the first's, its
// counts going on from the first's.
BookPass::Result BookPass::join(BookPass& second, Result result) {
    if (result != Result::Done) {
        problem_ = second.problem_;
        return result;
    }
    const std::uint64_t lines = lineNumber_;
    const std::uint64_t bytes = bytes_;
    const std::uint64_t characters = characters_;
    bool first = true;
    for (Candidate candidate : second.candidates_) {
        if (candidates_.size() == kMostCandidates) {
            problem_ = Problem::of(Problem::Kind::TooManyHeadings);
            return Result::Failed;
        }
        candidate.line = lines + (candidate.line - second.linesAtFrom_);
        candidate.bytesBefore = bytes + (candidate.bytesBefore - second.bytesAtFrom_);
        candidate.charactersBefore =
            characters + (candidate.charactersBefore - second.charactersAtFrom_);
        if (first) {
            // The lines with text between the first half's last candidate and this.
            candidate.linesBetween += linesBetween_;
            candidate.longestBetween = static_cast<std::uint16_t>(
                std::max<std::uint32_t>(candidate.longestBetween, std::min<std::uint32_t>(longestBetween_, 65535)));
            first = false;
        }
        candidates_.push_back(candidate);
    }
    lineNumber_ = lines + (second.lineNumber_ - second.linesAtFrom_);
    bytes_ = bytes + (second.bytes_ - second.bytesAtFrom_);
    characters_ = characters + (second.characters_ - second.charactersAtFrom_);
    measures_.textLines += second.measures_.textLines;
    for (std::size_t k = 0; k < 4; ++k) {
        measures_.textLinesAfterBlanks[k] += second.measures_.textLinesAfterBlanks[k];
    }
    measures_.listItemsLeftOut += second.measures_.listItemsLeftOut;
    measures_.copiesLeftOut += second.measures_.copiesLeftOut;
    for (std::size_t k = 0; k < lengths_.size(); ++k) lengths_[k] += second.lengths_[k];
    return Result::Done;
}

// The lines from the source's first to `until_`: a line there or past it
// only closes the line held. `frontRead` is called once the front is read.
BookPass::Result BookPass::scan(const std::function<void()>& frontRead) {
    const Codec& codec = source_.codec();
    const std::uint64_t lineBreak = codec.lineBreak().size();

    // The line before the one held, the one held and the one just read.
    std::array<TextLine, 3> lines;
    TextLine* before = &lines[0];
    TextLine* held = &lines[1];
    TextLine* now = &lines[2];
    std::uint32_t blanks = 0;
    bool counting = from_ == 0;
    bool past = false;  // a line past `until_` closed the one held
    std::function<void()> launch = frontRead;  // called once

    LineSource::Line line;
    while (source_.next(line)) {
        if (line.offset >= until_) {
            if (isEmpty(line, codec)) continue;
            past = true;
        }
        if (!counting && line.offset >= from_) {
            counting = true;
            linesAtFrom_ = lineNumber_;
            bytesAtFrom_ = bytes_;
            charactersAtFrom_ = characters_;
        }
        const std::uint64_t charactersBefore = characters_;
        const std::uint64_t bytesBefore = bytes_;
        if (!past) {
            ++lineNumber_;
            bytes_ += line.length + lineBreak;
            if (measure_) characters_ += source_.characters(line) + 2;
            if ((lineNumber_ & 0xFFF) == 0 && stopped()) return Result::Stopped;
        }
        if (!past && isEmpty(line, codec)) {
            if (blanks < UINT32_MAX) ++blanks;
            if (held->exists) held->blanksAfter = blanks;
            continue;
        }
        TextLine& text = *now;
        text.exists = true;
        text.offset = line.offset;
        text.line = lineNumber_;
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
        text.whole = line.inView() && line.length <= HeadingReader::kMaxBytes;
        text.bytes = {};
        text.start = {};
        if (text.whole) text.heading = reader_->read(line.view());
        if (text.whole && line.length <= titleBytes_) {
            std::copy_n(line.bytes, line.length, text.copy.data());
            text.bytes = {text.copy.data(), static_cast<std::size_t>(line.length)};
        } else if (line.inView()) {
            text.start = line.view().substr(0, HeadingReader::kMaxBytes);
            text.release = releases_;
        }
        if (counting && !past) {
            if (line.length < lengths_.size()) ++lengths_[line.length];
            if (line.length > measures_.shortLineBytes) {
                ++measures_.textLines;
                for (std::uint32_t k = 0; k < 4; ++k) {
                    if (blanks > k) ++measures_.textLinesAfterBlanks[k];
                }
            }
        }
        blanks = 0;
        if (held->exists && !settle(*held, before->exists ? before : nullptr, now)) {
            return Result::Failed;
        }
        if (past) return Result::Done;
        // Every line of the front is settled: its titles are all known.
        if (launch && held->exists && held->bytesBefore >= frontBytes_) {
            launch();
            launch = nullptr;
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
