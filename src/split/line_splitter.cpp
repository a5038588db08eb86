#include "line_splitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "char_counter.h"
#include "crlf_scan.h"
#include "split_texts.h"

namespace tovane {

namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

LineSplitter::Options sane(LineSplitter::Options options) {
    options.bufferSize = std::max<std::size_t>(options.bufferSize & ~std::size_t{1}, 16);
    return options;
}

}  // namespace

LineSplitter::LineSplitter(const SplitPlan& plan, ProgressCallback progress,
                           const std::atomic<bool>* stopRequested, Options options)
    : plan_(plan),
      progress_(std::move(progress)),
      stopRequested_(stopRequested),
      options_(sane(options)),
      buffer_(new char[4 * options_.bufferSize]),
      readAhead_(source_, [this](std::string_view piece) {
          return findLoneCarriageReturn(piece.data(), piece.size()) == piece.size();
      }) {}

char* LineSplitter::pieceArea(int side) const {
    return buffer_.get() + (2 * side + 1) * options_.bufferSize;
}

bool LineSplitter::stopRequested() const {
    return stopRequested_ != nullptr && stopRequested_->load(std::memory_order_relaxed);
}

void LineSplitter::reportProgress(std::uint64_t done) {
    done = std::min(done, source_.size());
    if (!progress_ || done < reported_) return;
    reported_ = done;
    progress_(done, source_.size());
}

SplitOutcome LineSplitter::run() {
    if (!source_.open(plan_.sourcePath)) {
        message_ = texts::cannotRead(plan_.sourcePath, source_.error());
        return finish(SplitOutcome::Result::Failed);
    }
    {
        std::string sample(
            static_cast<std::size_t>(std::min<std::uint64_t>(source_.size(), kEncodingSampleSize)),
            '\0');
        const std::int64_t sampled = source_.readAt(0, sample.data(), sample.size());
        if (sampled < 0) {
            failRead();
            return finish(SplitOutcome::Result::Failed);
        }
        sample.resize(static_cast<std::size_t>(sampled));
        encoding_ = detectEncoding(sample, source_.size());
    }
    unit_ = codeUnitSize(encoding_);
    const std::size_t markSize = byteOrderMark(encoding_).size();
    if (source_.size() <= markSize) return finish(SplitOutcome::Result::Empty);

    dataOffset_ = markSize;  // the mark is no part of the first line
    data_ = pieceArea(side_);
    reportProgress(0);
    while (true) {
        if (stopRequested()) return finish(SplitOutcome::Result::Stopped);
        std::size_t taken = 0;
        if (appendRunOfLines(taken) == Step::Failed) return finish(SplitOutcome::Result::Failed);
        if (taken > 0) {
            position_ += taken;
            continue;
        }
        const std::size_t cr = findCarriageReturn(data_, position_, length_);
        std::size_t terminator = 0;
        Step step = Step::Continue;
        if (cr != kNotFound && cr + 2 * unit_ <= length_) {
            terminator = isLineFeed(data_ + cr + unit_) ? 2 * unit_ : unit_;
        } else if (cr != kNotFound && atEnd_) {
            terminator = unit_;
        } else if (cr == kNotFound && atEnd_) {
            if (position_ == length_) break;  // a terminator at the very end adds no line
        } else {
            // The line, or whether an LF follows its CR, goes on past this piece.
            step = needsLongLine() ? splitLongLine() : refill();
            if (step == Step::Continue) continue;
        }
        if (step == Step::Continue) {
            const std::size_t length = (cr == kNotFound ? length_ : cr) - position_;
            step = emitLine(position_, length, terminator);
            position_ += length + terminator;
        }
        if (step == Step::Failed) return finish(SplitOutcome::Result::Failed);
        if (step == Step::Stopped) return finish(SplitOutcome::Result::Stopped);
    }
    if (partNumber_ == 0) return finish(SplitOutcome::Result::Empty);
    if (!part_.flush()) {
        failWrite(false);
        return finish(SplitOutcome::Result::Failed);
    }
    // What was read must be what the file held all along.
    if (source_.changedSinceOpen()) {
        failChanged();
        return finish(SplitOutcome::Result::Failed);
    }
    if (!part_.close()) {
        failWrite(false);
        return finish(SplitOutcome::Result::Failed);
    }
    return finish(SplitOutcome::Result::Done);
}

SplitOutcome LineSplitter::finish(SplitOutcome::Result result) {
    readAhead_.cancel();
    SplitOutcome outcome;
    outcome.result = result;
    const bool complete = result == SplitOutcome::Result::Done;
    if (!complete) part_.discard();
    source_.close();
    outcome.parts = complete || partNumber_ == 0 ? partNumber_ : partNumber_ - 1;
    outcome.message = message_;
    switch (result) {
        case SplitOutcome::Result::Done:
            reportProgress(source_.size());
            outcome.status = texts::summary(plan_.baseName, outcome.parts, plan_.perPartFigure);
            break;
        case SplitOutcome::Result::Empty:
            outcome.status = texts::emptySource(plan_.baseName);
            break;
        case SplitOutcome::Result::Failed:
            outcome.status = texts::interrupted(plan_.baseName, outcome.parts);
            break;
        case SplitOutcome::Result::Stopped:
            outcome.status = texts::cancelled(plan_.baseName, outcome.parts);
            break;
        case SplitOutcome::Result::CheckFailed:
            break;
    }
    return outcome;
}

LineSplitter::Step LineSplitter::failRead() {
    message_ = texts::cannotRead(plan_.sourcePath, source_.error());
    return Step::Failed;
}

LineSplitter::Step LineSplitter::failWrite(bool creating) {
    message_ = creating ? texts::cannotCreate(part_.path(), part_.error())
                        : texts::cannotWrite(part_.path(), part_.error());
    return Step::Failed;
}

LineSplitter::Step LineSplitter::failChanged() {
    message_ = texts::sourceChanged(plan_.sourcePath);
    return Step::Failed;
}

// The unfinished line would not fit in front of the next piece.
bool LineSplitter::needsLongLine() const {
    return length_ - position_ >= options_.bufferSize;
}

// Moves on to the next piece of the file, with the unfinished line carried
// over in front of it. The piece after that is read meanwhile.
LineSplitter::Step LineSplitter::refill() {
    if (!part_.flush()) return failWrite(false);  // queued pieces point into this side
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
    // The reader looked the piece over; what is left is the carried line and
    // whether a CR at its very end is followed by LF.
    const std::size_t seam = std::min(carried + unit_, length_);
    noLoneCr_ = ahead && readAhead_.passed() && findLoneCarriageReturn(data_, seam) == seam;
    side_ = next;
    atEnd_ = static_cast<std::size_t>(got) < size;
    const std::uint64_t following = offset + static_cast<std::uint64_t>(got);
    if (!atEnd_ && following < source_.size()) {
        readAhead_.start(following, pieceArea(1 - next), size);
    }
    reportProgress(dataOffset_ + length_);
    return Step::Continue;
}

std::size_t LineSplitter::findCarriageReturn(const char* base, std::size_t from,
                                             std::size_t to) const {
    if (unit_ == 1) {
        const void* hit = std::memchr(base + from, '\r', to - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : kNotFound;
    }
    // UTF-16: the CR byte must sit in its place inside a unit that starts at an
    // even distance from the line, with a zero byte beside it.
    const bool little = encoding_ == TextEncoding::Utf16Le;
    std::size_t at = from;
    while (at < to) {
        const void* hit = std::memchr(base + at, '\r', to - at);
        if (!hit) return kNotFound;
        const auto index = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        const std::size_t unitStart = little ? index : index - 1;
        if (index >= from + (little ? 0 : 1) && (unitStart - from) % 2 == 0) {
            const std::size_t other = little ? index + 1 : unitStart;
            if (other >= to) return kNotFound;  // the unit is cut off by the end of the data
            if (base[other] == 0) return unitStart;
        }
        at = index + 1;
    }
    return kNotFound;
}

bool LineSplitter::isLineFeed(const char* unit) const {
    switch (encoding_) {
        case TextEncoding::Utf16Le:
            return unit[0] == '\n' && unit[1] == 0;
        case TextEncoding::Utf16Be:
            return unit[0] == 0 && unit[1] == '\n';
        case TextEncoding::Gbk:
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            break;
    }
    return unit[0] == '\n';
}

// The part takes the line while its bytes so far plus the line's characters
// stay within the limit. Most lines are decided from the byte length alone.
LineSplitter::Fit LineSplitter::fitByLength(std::uint64_t length) const {
    const std::uint64_t written = part_.written();
    if (written > plan_.byteLimit) return Fit::NewPart;
    const std::uint64_t room = plan_.byteLimit - written;
    if (CharCounter::upperBound(encoding_, length) <= room) return Fit::SamePart;
    if (CharCounter::lowerBound(encoding_, length) > room) return Fit::NewPart;
    return Fit::CountFirst;
}

bool LineSplitter::fitsByCount(std::uint64_t chars) const {
    return part_.written() <= plan_.byteLimit && chars <= plan_.byteLimit - part_.written();
}

LineSplitter::Step LineSplitter::startPart() {
    if (partNumber_ > 0) {
        if (!part_.close()) return failWrite(false);
    }
    ++partNumber_;
    const std::string path = partPath(plan_.saveFolder, plan_.baseName, partNumber_);
    // A free name cannot be the source's; only a name that is taken needs
    // the check before the file there is replaced.
    if (!part_.open(path, false)) {
        if (part_.error() != EEXIST) return failWrite(true);
        if (source_.isSameFile(path)) {  // opening it would truncate the source
            message_ = texts::partIsSource(path);
            return Step::Failed;
        }
        if (!part_.open(path, true)) return failWrite(true);
    }
    if (!part_.append(byteOrderMark(encoding_))) return failWrite(false);
    return Step::Continue;
}

LineSplitter::Step LineSplitter::emitLine(std::size_t start, std::size_t length,
                                          std::size_t terminator) {
    const char* line = data_ + start;
    const bool newPart = opensNewPart(length, [&] {
        return CharCounter::countLine(encoding_, {line, length});
    });
    if (newPart) {
        const Step step = startPart();
        if (step != Step::Continue) return step;
    }
    // A line that already ends in CR LF goes out with its own terminator, so a
    // run of such lines stays one contiguous stretch of the piece.
    const bool ok = terminator == 2 * unit_
                        ? part_.append({line, length + terminator})
                        : part_.append({line, length}) && part_.append(lineBreak(encoding_));
    return ok ? Step::Continue : failWrite(false);
}

// Takes as many whole lines as certainly fit the current part in one piece,
// without looking at them one by one: lines whose bytes alone stay within
// the room left fit whatever their characters, and a run whose every CR is
// followed by LF is written out exactly as it stands in the source.
LineSplitter::Step LineSplitter::appendRunOfLines(std::size_t& taken) {
    taken = 0;
    const std::uint64_t written = part_.written();
    if (partNumber_ == 0 || written > plan_.byteLimit ||
        dataOffset_ + position_ < runsBlockedUntil_) {
        return Step::Continue;
    }
    // Characters never outnumber bytes, nor UTF-16 units half the bytes, so
    // bytes alone are a safe measure of what fits.
    const std::uint64_t room = plan_.byteLimit - written;
    const std::size_t available = length_ - position_;
    const std::size_t span = room >= available ? available : static_cast<std::size_t>(room) + unit_;
    const char* run = data_ + position_;
    std::size_t end = findLastCarriageReturn(run, span);
    // The run's last line needs its terminator in view to be told apart.
    if (end != kNotFound && position_ + end + 2 * unit_ > length_) {
        end = findLastCarriageReturn(run, end);
    }
    if (end == kNotFound) return Step::Continue;
    const std::size_t lone = noLoneCr_ ? end : findLoneCarriageReturn(run, end + unit_);
    if (lone < end) {
        // Stop the run before the line that ends in a lone CR; lines go one by
        // one from there until past it.
        runsBlockedUntil_ = dataOffset_ + position_ + lone + unit_;
        end = findLastCarriageReturn(run, lone);
        if (end == kNotFound) return Step::Continue;
    }
    const bool crLf = isLineFeed(run + end + unit_);
    const bool ok = crLf ? part_.append({run, end + 2 * unit_})
                         : part_.append({run, end}) && part_.append(lineBreak(encoding_));
    if (!ok) return failWrite(false);
    taken = end + (crLf ? 2 : 1) * unit_;
    return Step::Continue;
}

// The first CR unit in run[0, length) followed by a unit that is not LF, or
// `length` when every CR unit there with a unit after it is followed by LF.
std::size_t LineSplitter::findLoneCarriageReturn(const char* run, std::size_t length) const {
    return unit_ == 1 ? tovane::findLoneCarriageReturn(run, length)
                      : findLoneCarriageReturn16(run, length, encoding_ == TextEncoding::Utf16Le);
}

// The start of the last CR unit in run[0, within), or kNotFound.
std::size_t LineSplitter::findLastCarriageReturn(const char* run, std::size_t within) const {
    if (unit_ == 2) within &= ~std::size_t{1};  // whole units only
    const std::size_t crByte = encoding_ == TextEncoding::Utf16Be ? 1 : 0;
    while (within > 0) {
        const void* hit = ::memrchr(run, '\r', within);
        if (hit == nullptr) return kNotFound;
        const auto index = static_cast<std::size_t>(static_cast<const char*>(hit) - run);
        if (unit_ == 1) return index;
        // UTF-16: the CR byte in its place in a unit whose other byte is zero.
        const std::size_t unitStart = index - crByte;
        if (index >= crByte && unitStart % 2 == 0 && run[unitStart + (1 - crByte)] == 0) {
            return unitStart;
        }
        within = index;
    }
    return kNotFound;
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

// A line longer than a piece: find where it ends by reading on, decide its
// part, then copy it with positioned reads in piece-sized chunks.
LineSplitter::Step LineSplitter::splitLongLine() {
    if (!part_.flush()) return failWrite(false);
    readAhead_.cancel();  // both sides are free for reading the line
    const std::uint64_t lineStart = dataOffset_ + position_;
    char* buffer = pieceArea(side_);
    std::uint64_t chunkOffset = lineStart;
    std::size_t chunkLength = 0;
    std::uint64_t lineLength = 0;
    std::size_t terminator = 0;
    while (true) {
        if (stopRequested()) return Step::Stopped;
        const std::size_t cr = findCarriageReturn(buffer, 0, chunkLength);
        if (cr != kNotFound) {
            lineLength = chunkOffset + cr - lineStart;
            char next[2] = {0, 0};
            const std::int64_t got = source_.readAt(chunkOffset + cr + unit_, next, unit_);
            if (got < 0) return failRead();
            terminator =
                static_cast<std::size_t>(got) == unit_ && isLineFeed(next) ? 2 * unit_ : unit_;
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
    const bool newPart =
        opensNewPart(lineLength, [&] { return countCharsAt(lineStart, lineLength, step); });
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
            return failWrite(false);
        }
        done += static_cast<std::uint64_t>(got);
        reportProgress(lineStart + done);
    }
    if (!part_.append(lineBreak(encoding_))) return failWrite(false);

    dataOffset_ = lineStart + lineLength + terminator;
    data_ = pieceArea(side_);
    noLoneCr_ = false;
    length_ = 0;
    position_ = 0;
    atEnd_ = terminator == 0;
    return Step::Continue;
}

}  // namespace tovane
