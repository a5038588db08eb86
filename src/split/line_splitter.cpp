#include "split/line_splitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "split/text/char_counter.h"
#include "split/io/file_system.h"
#include "split/part_limit.h"
#include "split/parts/part_names.h"
#include "split/split_texts.h"

namespace tovane {

namespace {

constexpr std::size_t kNotFound = CrlfScan::kNotFound;
constexpr std::size_t kChapterRunBytes = std::size_t{256} << 10;

// Pieces of an even size, so that UTF-16 units never straddle two reads, and
// never so small that a line end and its neighbours can't be seen together.
LineSplitter::Options withUsableBuffer(LineSplitter::Options options) {
    options.bufferSize = std::max<std::size_t>(options.bufferSize & ~std::size_t{1}, 16);
    return options;
}

}  // namespace

LineSplitter::LineSplitter(SplitPlan plan, ProgressCallback progress,
                           const std::atomic<bool>* stopRequested, Options options)
    : plan_(std::move(plan)),
      progress_(std::move(progress)),
      stopRequested_(stopRequested),
      options_(withUsableBuffer(options)),
      buffer_(new char[4 * options_.bufferSize]),
      readAhead_(source_, [this](std::string_view piece) {
          return scan_.findBareTerminator(piece.data(), piece.size()) == piece.size();
      }) {}

// Reads the source's lines and writes each into the part it belongs to: a
// run of lines that certainly fits goes in one piece, any other line is
// looked at alone, and the data in view is refilled or a line too long for
// it is copied on its own when the next line end can't be seen.
SplitOutcome LineSplitter::run() {
    Step step = start();
    while (step == Step::Continue) {
        if (stopRequested()) {
            step = Step::Stopped;
            break;
        }
        std::size_t taken = 0;
        step = takeRunOfLines(taken);
        if (step != Step::Continue || taken > 0) continue;
        const LineEnd end = nextLineEnd();
        if (end.none) {
            step = partNumber_ == 0 ? Step::Empty : Step::Done;
        } else if (end.needMore) {
            step = lineOutgrowsPiece() ? splitLongLine() : refill();
        } else {
            step = emitLine(end);
        }
    }
    return finish(step);
}

// Refuses a base name that isn't a plain file name, opens the source, tells
// its encoding and clears away hidden parts that earlier runs left behind.
LineSplitter::Step LineSplitter::start() {
    if (!isPlainFileName(plan_.baseName)) return failWith(texts::baseNameNotPlain(plan_.baseName));
    if (!source_.open(plan_.sourcePath)) return failRead();
    publisher_ = std::make_unique<PartPublisher>(source_.identity());
    std::string sample;
    if (!source_.readEncodingSample(sample)) return failRead();
    encoding_ = detectEncoding(sample, source_.size());
    scan_ = CrlfScan(encoding_);
    unit_ = scan_.unit();
    if (plan_.rule != PartRule::BySize) {
        if (plan_.headingPattern.empty()) {
            headings_.emplace(encoding_);
        } else {
            headings_.emplace(encoding_, plan_.headingPattern);
        }
    }
    const std::size_t markSize = byteOrderMark(encoding_).size();
    if (source_.size() <= markSize) return Step::Empty;

    removeLeftovers();
    dataOffset_ = markSize;  // the mark is no part of the first line
    data_ = pieceArea(side_);
    reportProgress(0);
    return Step::Continue;
}

// Ends the run: completes the last part when every line was written, removes
// the part that was being written otherwise, and names every complete part.
SplitOutcome LineSplitter::finish(Step step) {
    readAhead_.cancel();
    if (step == Step::Done && headings_ && headingsSeen_ == 0) {
        // Without a heading there is nothing to cut at: the one part goes too.
        step = failWith(std::string(texts::kNoHeadings));
    }
    if (step == Step::Done) {
        // What was read must be what the file held all along.
        if (!part_.flush()) {
            step = failWrite();
        } else if (source_.changedSinceOpen()) {
            step = failChanged();
        } else if (finishPart() != Step::Continue) {
            step = Step::Failed;
        }
    }
    if (step != Step::Done) part_.discard();
    source_.close();
    if (publisher_ != nullptr && !publisher_->publish()) {
        if (message_.empty()) message_ = publisher_->message();
        step = Step::Failed;
    }
    SplitOutcome outcome;
    switch (step) {
        case Step::Done:
            outcome.result = SplitOutcome::Result::Done;
            reportProgress(source_.size());
            reportPartsLeftFromBefore();
            break;
        case Step::Empty:
            outcome.result = SplitOutcome::Result::Empty;
            break;
        case Step::Stopped:
            outcome.result = SplitOutcome::Result::Stopped;
            break;
        case Step::Continue:
        case Step::Failed:
            outcome.result = SplitOutcome::Result::Failed;
            break;
    }
    outcome.parts = publisher_ != nullptr ? publisher_->published() : 0;
    outcome.message = message_;
    return outcome;
}

// Takes as many whole lines as certainly fit the current part, without
// looking at them one by one: lines whose bytes alone stay within the room
// left fit whatever their characters. Lines that all end in CR LF go out
// exactly as they stand in the piece; others are copied with CR LF ends.
LineSplitter::Step LineSplitter::takeRunOfLines(std::size_t& taken) {
    taken = 0;
    if (partNumber_ == 0) return Step::Continue;
    const char* run = data_ + position_;
    std::size_t available = length_ - position_;
    if (available < unit_) return Step::Continue;
    std::uint64_t room = kUnlimitedPart;
    if (headings_) {
        // By chapters, a run ends before the next heading, which is looked at
        // alone; runs are looked over a stretch at a time, so that no line is
        // looked at twice when a run is cut short.
        available = firstHeadingIn(run, std::min(available, kChapterRunBytes));
        if (available == 0) return Step::Continue;
    } else {
        const std::uint64_t written = part_.written();
        if (written > plan_.byteLimit) return Step::Continue;
        room = plan_.byteLimit - written;
    }

    // An LF at a line's start ends an empty line on its own: not CR LF.
    if (!scan_.isLf(run)) {
        // The last line of the run may end its CR at `room` bytes in.
        const std::size_t span =
            room >= available
                ? available
                : static_cast<std::size_t>(std::min<std::uint64_t>(available, room + 2 * unit_));
        const std::size_t lf = scan_.findLastLineFeed(run, span);
        if (lf != kNotFound) {
            const std::size_t end = lf + unit_;
            if (onlyCrLf_ || scan_.findBareTerminator(run, end) == end) {
                if (!part_.append({run, end})) return failWrite();
                position_ += end;
                taken = end;
                return Step::Continue;
            }
        }
    }
    PartWriter::Staging area{};
    if (!part_.staging(area)) return failWrite();
    const CrlfScan::Copied copied =
        scan_.copyLinesAsCrLf(run, available, area.data, area.size, room);
    if (copied.consumed == 0) return Step::Continue;
    if (!part_.appendStaged(copied.produced)) return failWrite();
    position_ += copied.consumed;
    taken = copied.consumed;
    return Step::Continue;
}

// Finds the end of the line at position_: at CR LF, CR or LF. A CR at the
// end of the data needs the next unit to tell whether an LF belongs to it.
LineSplitter::LineEnd LineSplitter::nextLineEnd() const {
    LineEnd end;
    const std::size_t at = scan_.findTerminator(data_, position_, length_);
    if (at == kNotFound) {
        if (!atEnd_) {
            end.needMore = true;
        } else if (position_ == length_) {
            end.none = true;  // a terminator at the very end adds no line
        } else {
            end.length = length_ - position_;  // the last line, without a terminator
        }
        return end;
    }
    end.length = at - position_;
    end.terminator = scan_.terminatorAt(data_, at, length_, atEnd_);
    end.needMore = end.terminator == 0;
    return end;
}

// Writes one line, into a new part when it doesn't fit the current one.
LineSplitter::Step LineSplitter::emitLine(const LineEnd& end) {
    const char* line = data_ + position_;
    Step step = Step::Continue;
    const bool newPart = opensNewPart({line, end.length}, step);
    if (step != Step::Continue) return step;
    if (newPart) {
        step = startPart();
        if (step != Step::Continue) return step;
    }
    // A line that already ends in CR LF goes out with its own terminator, so a
    // run of such lines stays one contiguous stretch of the piece.
    const bool ok = end.terminator == 2 * unit_
                        ? part_.append({line, end.length + end.terminator})
                        : part_.append({line, end.length}) && part_.append(lineBreak(encoding_));
    position_ += end.length + end.terminator;
    return ok ? Step::Continue : failWrite();
}

// The part takes the line while its bytes so far plus the line's characters
// stay within the limit. Most lines are decided from the byte length alone.
template <typename Count>
bool LineSplitter::opensNewPart(std::uint64_t length, Count count) const {
    if (partNumber_ == 0) return true;
    const std::uint64_t written = part_.written();
    if (written > plan_.byteLimit) return true;
    const std::uint64_t room = plan_.byteLimit - written;
    if (CharCounter::upperBound(encoding_, length) <= room) return false;
    if (CharCounter::lowerBound(encoding_, length) > room) return true;
    return count() > room;
}

// By the plan's rule: by size, the line's characters decide; by chapters,
// only a heading may open a part, after the set number of chapters or, by
// size, when its chapter doesn't fit the room left.
bool LineSplitter::opensNewPart(std::string_view line, Step& step) {
    if (!headings_) {
        return opensNewPart(line.size(), [&] { return CharCounter::countLine(encoding_, line); });
    }
    const bool heading = headings_->matches(line);
    if (heading) ++headingsSeen_;
    if (partNumber_ == 0) {
        headingsInPart_ = heading ? 1 : 0;
        return true;
    }
    if (!heading) return false;
    if (plan_.rule == PartRule::ByChapters) {
        if (headingsInPart_ < plan_.chaptersPerPart) {
            ++headingsInPart_;
            return false;
        }
        headingsInPart_ = 1;
        return true;
    }
    const std::uint64_t written = part_.written();
    if (written > plan_.byteLimit) return true;
    const std::uint64_t room = plan_.byteLimit - written;
    return measureChapter(dataOffset_ + position_, room, step) > room;
}

// Where the first heading in run[0, available) starts, looking at whole
// lines only: 0 when the run starts with one, otherwise the end of the last
// whole line before it.
std::size_t LineSplitter::firstHeadingIn(const char* run, std::size_t available) const {
    std::size_t at = 0;
    while (at < available) {
        const std::size_t end = scan_.findTerminator(run, at, available);
        if (end == kNotFound) break;
        const std::size_t terminator = scan_.terminatorAt(run, end, available, false);
        if (terminator == 0) break;
        if (headings_->matches({run + at, end - at})) return at;
        at = end + terminator;
    }
    return at;
}

// The characters of the chapter whose heading starts at `offset`: its lines'
// characters and the CR LF between them, up to the next heading or the end
// of the file. Counting stops once it passes `room`.
std::uint64_t LineSplitter::measureChapter(std::uint64_t offset, std::uint64_t room, Step& step) {
    constexpr std::size_t kScratch = std::size_t{64} << 10;
    if (!chapterScratch_) chapterScratch_.reset(new char[kScratch]);
    char* const scratch = chapterScratch_.get();
    std::uint64_t characters = 0;  // of the lines ended so far, and their CR LF
    std::uint64_t lines = 0;
    CharCounter line(encoding_);  // the line being read
    bool lineStart = true;        // the line began in the piece in view
    std::uint64_t at = offset;
    const auto total = [&] {
        return characters + line.count() - (lines > 0 && line.count() == 0 ? 2 : 0);
    };
    while (characters <= room + 2) {
        const std::int64_t got = source_.readAt(at, scratch, kScratch);
        if (got < 0) {
            step = failRead();
            return 0;
        }
        const auto size = static_cast<std::size_t>(got);
        const bool last = size < kScratch;
        std::size_t i = 0;
        while (i < size) {
            const std::size_t end = scan_.findTerminator(scratch, i, size);
            const std::size_t terminator =
                end == kNotFound ? 0 : scan_.terminatorAt(scratch, end, size, last);
            if (terminator == 0) {
                if (lineStart && i > 0) break;  // read again from the line's start
                // A line longer than the piece is counted as it goes by.
                const std::size_t upTo = end == kNotFound ? size : end;
                line.feed({scratch + i, upTo - i});
                lineStart = false;
                i = upTo;
                break;
            }
            if (lineStart && lines > 0 && headings_->matches({scratch + i, end - i})) {
                return total();
            }
            line.feed({scratch + i, end - i});
            characters += line.count() + 2;
            ++lines;
            line = CharCounter(encoding_);
            if (characters > room + 2) return total();
            i = end + terminator;
            lineStart = true;
        }
        at += i;
        if (last && (i == 0 || i >= size)) break;
    }
    return total();
}

// Moves on to the next piece of the file, with the unfinished line carried
// over in front of it. The piece after that is read meanwhile.
LineSplitter::Step LineSplitter::refill() {
    if (!part_.flush()) return failWrite();  // queued pieces point into this side
    const std::size_t size = options_.bufferSize;
    const std::uint64_t offset = dataOffset_ + length_;
    const int next = 1 - side_;
    char* piece = pieceArea(next);
    const bool ahead = readAhead_.pendingAt(offset);
    const std::int64_t got = ahead ? readAhead_.wait() : source_.readAt(offset, piece, size);
    if (got < 0) return failRead();
    const std::size_t carried = length_ - position_;
    std::memcpy(piece - carried, data_ + position_, carried);
    data_ = piece - carried;
    dataOffset_ += position_;
    length_ = carried + static_cast<std::size_t>(got);
    position_ = 0;
    // The reader looked the piece over; what is left is where the carried
    // line meets it.
    const std::size_t seam = std::min(carried + unit_, length_);
    onlyCrLf_ = ahead && readAhead_.passed() && scan_.findBareTerminator(data_, seam) == seam;
    side_ = next;
    atEnd_ = static_cast<std::size_t>(got) < size;
    const std::uint64_t following = offset + static_cast<std::uint64_t>(got);
    if (!atEnd_ && following < source_.size()) {
        readAhead_.start(following, pieceArea(1 - next), size);
    }
    reportProgress(dataOffset_ + length_);
    return Step::Continue;
}

// The unfinished line would not fit in front of the next piece.
bool LineSplitter::lineOutgrowsPiece() const {
    return length_ - position_ >= options_.bufferSize;
}

// A line longer than a piece: find where it ends by reading on, decide its
// part, then copy it with positioned reads in piece-sized chunks.
LineSplitter::Step LineSplitter::splitLongLine() {
    if (!part_.flush()) return failWrite();
    readAhead_.cancel();  // both sides are free for reading the line
    const std::uint64_t lineStart = dataOffset_ + position_;
    char* buffer = pieceArea(side_);
    std::uint64_t chunkOffset = lineStart;
    std::size_t chunkLength = 0;
    std::uint64_t lineLength = 0;
    std::size_t terminator = 0;
    while (true) {
        if (stopRequested()) return Step::Stopped;
        const std::size_t at = scan_.findTerminator(buffer, 0, chunkLength);
        if (at != kNotFound) {
            lineLength = chunkOffset + at - lineStart;
            terminator = unit_;
            if (scan_.isCr(buffer + at)) {
                char next[2] = {0, 0};
                const std::int64_t got = source_.readAt(chunkOffset + at + unit_, next, unit_);
                if (got < 0) return failRead();
                if (static_cast<std::size_t>(got) == unit_ && scan_.isLf(next)) {
                    terminator = 2 * unit_;
                }
            }
            break;
        }
        chunkOffset += chunkLength;
        const std::int64_t got = source_.readAt(chunkOffset, buffer, options_.bufferSize);
        if (got < 0) return failRead();
        chunkLength = static_cast<std::size_t>(got);
        if (chunkLength == 0) {
            lineLength = chunkOffset - lineStart;  // the last line, without a terminator
            break;
        }
    }

    Step step = Step::Continue;
    // Too long to be a heading: by chapters, it stays in the part open now.
    const bool newPart = headings_ ? partNumber_ == 0 : opensNewPart(lineLength, [&] {
        return countCharsAt(lineStart, lineLength, step);
    });
    if (step != Step::Continue) return step;
    if (newPart && (step = startPart()) != Step::Continue) return step;
    for (std::uint64_t done = 0; done < lineLength;) {
        if (stopRequested()) return Step::Stopped;
        const auto want = static_cast<std::size_t>(
            std::min<std::uint64_t>(options_.bufferSize, lineLength - done));
        const std::int64_t got = source_.readAt(lineStart + done, buffer, want);
        if (got < 0) return failRead();
        if (got == 0) return failChanged();  // the file shrank under us
        if (!part_.append({buffer, static_cast<std::size_t>(got)}) || !part_.flush()) {
            return failWrite();
        }
        done += static_cast<std::uint64_t>(got);
        reportProgress(lineStart + done);
    }
    if (!part_.append(lineBreak(encoding_))) return failWrite();

    dataOffset_ = lineStart + lineLength + terminator;
    data_ = pieceArea(side_);
    onlyCrLf_ = false;
    length_ = 0;
    position_ = 0;
    atEnd_ = terminator == 0;
    return Step::Continue;
}

std::uint64_t LineSplitter::countCharsAt(std::uint64_t offset, std::uint64_t length, Step& step) {
    CharCounter counter(encoding_);
    char* scratch = pieceArea(side_);
    for (std::uint64_t done = 0; done < length;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(options_.bufferSize, length - done));
        const std::int64_t got = source_.readAt(offset + done, scratch, want);
        if (got <= 0) {
            step = got < 0 ? failRead() : Step::Continue;
            break;
        }
        counter.feed({scratch, static_cast<std::size_t>(got)});
        done += static_cast<std::uint64_t>(got);
    }
    return counter.count();
}

// Completes the part being written and opens the next under a hidden name.
// A name that a folder holds, or that leads to the source, is refused before
// anything is written.
LineSplitter::Step LineSplitter::startPart() {
    if (partNumber_ > 0) {
        const Step step = finishPart();
        if (step != Step::Continue) return step;
    }
    ++partNumber_;
    const std::string path = partPath(plan_.saveFolder, plan_.baseName, partNumber_);
    std::string refusal = publisher_->refusal(path);
    if (!refusal.empty()) return failWith(std::move(refusal));
    if (!part_.open(path)) return failCreate();
    if (!part_.append(byteOrderMark(encoding_))) return failWrite();
    return Step::Continue;
}

// Closes the part being written and hands it on to be named.
LineSplitter::Step LineSplitter::finishPart() {
    if (!part_.finish()) return failWrite();
    publisher_->add(part_.temporaryPath(), part_.path(), part_.written());
    if (publisher_->due() && !publisher_->publish()) return failWith(publisher_->message());
    return Step::Continue;
}

// Hidden parts of this base name whose writer is gone: a run that was killed
// or lost its power left them.
void LineSplitter::removeLeftovers() const {
    const std::string prefix = plan_.saveFolder + plan_.baseName;
    const std::string folder(folderOf(prefix));
    const std::string_view stem = fileNameOf(prefix);
    const std::uint64_t self = files::currentProcessId();
    files::listFolder(folder, [&](std::string_view entry) {
        std::uint64_t writer = 0;
        if (parseTemporaryPartName(entry, stem, writer) && writer != self &&
            !files::processIsAlive(writer)) {
            files::removeFile(folder + std::string(entry));
        }
    });
}

// Parts numbered past this run's last one were left by an earlier run; they
// are named to the user, never removed.
void LineSplitter::reportPartsLeftFromBefore() {
    const std::uint64_t first = publisher_->published() + 1;
    std::uint64_t count = 0;
    while (files::kindAt(partPath(plan_.saveFolder, plan_.baseName, first + count)) !=
           files::EntryKind::None) {
        ++count;
    }
    if (count == 0) return;
    const std::string firstPath = partPath(plan_.saveFolder, plan_.baseName, first);
    message_ = texts::partsLeftFromBefore(fileNameOf(firstPath), count);
}

char* LineSplitter::pieceArea(int side) const {
    return buffer_.get() + static_cast<std::size_t>(2 * side + 1) * options_.bufferSize;
}

bool LineSplitter::stopRequested() const {
    return stopRequested_ != nullptr && stopRequested_->load(std::memory_order_relaxed);
}

void LineSplitter::reportProgress(std::uint64_t done) {
    done = std::min(done, source_.size());
    if (!progress_ || done < reported_) return;
    reported_ = done;
    progress_({done, source_.size(), partNumber_});
}

LineSplitter::Step LineSplitter::failRead() {
    return failWith(texts::cannotRead(plan_.sourcePath, source_.error()));
}

LineSplitter::Step LineSplitter::failCreate() {
    return failWith(texts::cannotCreate(part_.path(), part_.error()));
}

LineSplitter::Step LineSplitter::failWrite() {
    return failWith(texts::cannotWrite(part_.path(), part_.error()));
}

LineSplitter::Step LineSplitter::failChanged() {
    return failWith(texts::sourceChanged(plan_.sourcePath));
}

LineSplitter::Step LineSplitter::failWith(std::string message) {
    if (message_.empty()) message_ = std::move(message);
    return Step::Failed;
}

}  // namespace tovane
