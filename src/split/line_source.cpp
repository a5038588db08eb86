#include "split/line_source.h"

#include <algorithm>
#include <cstring>

namespace tovane {

namespace {

// Pieces of an even size, so that UTF-16 units never straddle two reads, and
// never so small that a line end and its neighbours can't be seen together.
LineSource::Options usable(LineSource::Options options) {
    options.pieceSize = std::max<std::size_t>(options.pieceSize & ~std::size_t{1}, 16);
    return options;
}

}  // namespace

LineSource::LineSource(std::shared_ptr<SourceFile> file, const SourceFormat& format,
                       Options options, std::function<bool()> release,
                       std::function<void(std::uint64_t)> reached,
                       const std::atomic<bool>* stopRequested)
    : options_(usable(options)),
      release_(std::move(release)),
      reached_(std::move(reached)),
      stopRequested_(stopRequested),
      file_(std::move(file)),
      format_(format),
      scan_(format.codec()),
      buffer_(new char[2 * kReadRooms * options_.pieceSize]),
      data_(pieceArea()),
      // The mark is no part of the first line.
      dataOffset_(std::max<std::uint64_t>(format.mark().size(), options.start)) {}

bool LineSource::next(Line& line) {
    while (true) {
        const CrlfScan::Line found = scan_.nextLine(data_, position_, length_, atEnd_);
        if (found.none) return false;
        if (found.complete) {
            line = {data_ + position_, dataOffset_ + position_, found.length, found.terminator};
            position_ += found.length + found.terminator;
            return true;
        }
        if (length_ - position_ >= options_.pieceSize) return findLongLine(line);
        if (!refill()) return false;
    }
}

bool LineSource::endsOnlyInCrLf(std::size_t n) const {
    return scan_.findBareTerminator(data_ + position_, n) == n;
}

// Moves on to the next piece of the file, in the other room, with the
// unfinished line carried over in front of it.
bool LineSource::refill() {
    if (!release_()) return endWith(Trouble::Refused);
    const std::size_t size = options_.pieceSize;
    const std::uint64_t offset = dataOffset_ + length_;
    nextRoom();
    char* piece = pieceArea();
    const std::size_t carried = length_ - position_;
    std::memcpy(piece - carried, data_ + position_, carried);
    data_ = piece - carried;
    dataOffset_ += position_;
    position_ = 0;
    length_ = carried;
    const std::int64_t got = file_->readAt(offset, piece, size);
    if (got < 0) return endWith(Trouble::Read);
    length_ += static_cast<std::size_t>(got);
    atEnd_ = static_cast<std::size_t>(got) < size;
    if (reached_) reached_(dataOffset_ + length_);
    return true;
}

// A line longer than a piece: reads on from its start until its end is seen.
// Its bytes are read again, a piece at a time, by lineBytes().
bool LineSource::findLongLine(Line& line) {
    if (!release_()) return endWith(Trouble::Refused);
    nextRoom();
    char* buffer = pieceArea();
    const std::uint64_t start = dataOffset_ + position_;
    std::uint64_t at = start;
    while (true) {
        if (stopRequested()) return false;
        const std::int64_t got = file_->readAt(at, buffer, options_.pieceSize);
        if (got < 0) return endWith(Trouble::Read);
        const auto size = static_cast<std::size_t>(got);
        const CrlfScan::Line found = scan_.nextLine(buffer, 0, size, size < options_.pieceSize);
        if (found.none || found.complete) {
            line = {nullptr, start, at + found.length - start, found.terminator};
            break;
        }
        at += found.length;  // from a CR whose LF is out of view, or the next whole unit
    }
    dataOffset_ = line.offset + line.length + line.terminator;
    data_ = pieceArea();
    length_ = 0;
    position_ = 0;
    atEnd_ = line.terminator == 0;
    return true;
}

std::string_view LineSource::lineBytes(const Line& line, std::uint64_t from, std::uint64_t most) {
    const std::uint64_t want = std::min(most, line.length - from);
    if (line.inView()) return line.view().substr(static_cast<std::size_t>(from), want);
    if (stopRequested()) return {};
    if (!release_()) {
        endWith(Trouble::Refused);
        return {};
    }
    nextRoom();
    char* buffer = pieceArea();
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(want, options_.pieceSize));
    const std::int64_t got = file_->readAt(line.offset + from, buffer, size);
    if (got <= 0) {
        endWith(got < 0 ? Trouble::Read : Trouble::Changed);  // nothing there: the file shrank
        return {};
    }
    if (reached_) reached_(line.offset + from + static_cast<std::uint64_t>(got));
    return {buffer, static_cast<std::size_t>(got)};
}

std::int64_t LineSource::readAt(std::uint64_t offset, char* into, std::size_t size) {
    const std::int64_t got = file_->readAt(offset, into, size);
    if (got < 0) endWith(Trouble::Read);
    return got;
}

std::uint64_t LineSource::characters(const Line& line) {
    if (line.inView()) return codec().countCharacters(line.view());
    CharacterWalk counter(codec());
    for (std::uint64_t done = 0; done < line.length;) {
        const std::string_view piece = lineBytes(line, done, line.length - done);
        if (piece.empty()) break;
        counter.feed(piece);
        done += piece.size();
    }
    return counter.characters();
}

bool LineSource::stopRequested() {
    if (stopRequested_ == nullptr || !stopRequested_->load(std::memory_order_relaxed)) return false;
    endWith(Trouble::Stopped);
    return true;
}

bool LineSource::endWith(Trouble trouble) {
    if (trouble_ == Trouble::None) trouble_ = trouble;
    return false;
}

}  // namespace tovane
