// The source's lines, in order, one at a time or as a run: reads the open
// file in pieces and finds every line end with the one stepper of CrlfScan.
// Bytes it hands out live in its own buffer until it says it is about to
// reuse them. It knows nothing of what the lines become.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "split/io/source_file.h"
#include "split/line_measure.h"
#include "split/text/crlf_scan.h"
#include "split/text/source_format.h"

namespace tovane {

class LineSource : public LineReader {
public:
    struct Options {
        // The size of each piece read from the file: large enough for few
        // system calls and few lines cut at a piece's end, small enough to stay
        // in the processor's cache between being read, looked at and written.
        // Even, so that a UTF-16 code unit never straddles two reads.
        std::size_t pieceSize = std::size_t{256} << 10;
        // Where the first line starts: a line's start in the file, or 0 for
        // the first after the mark.
        std::uint64_t start = 0;
    };

    using Line = SourceLine;

    // Why the lines ended early.
    enum class Trouble {
        None,
        Read,     // the file can't be read: error()
        Changed,  // the file shrank under the split
        Stopped,  // a stop was asked for
        Refused,  // the owner of bytes handed out couldn't let them go
    };

    // The lines of `file`, open and in `format`, from the first after the
    // mark. `release` is called before the source reads on into its next
    // room (of kReadRooms), overwriting the bytes it handed out from there;
    // the lines end when it returns false. `reached` hears how far
    // the file has been read. A set `stopRequested` ends the lines, also
    // inside a long one.
    LineSource(std::shared_ptr<SourceFile> file, const SourceFormat& format, Options options,
               std::function<bool()> release, std::function<void(std::uint64_t)> reached,
               const std::atomic<bool>* stopRequested);

    const SourceFormat& format() const { return format_; }
    const Codec& codec() const { return format_.codec(); }
    const CrlfScan& scan() const { return scan_; }
    std::uint64_t size() const { return file_->size(); }
    // Nothing but a byte-order mark, if that.
    bool holdsNoText() const { return size() <= format_.mark().size(); }

    // The next line, which the source then moves past; false when no line is
    // left or the lines ended early (trouble()).
    bool next(Line& line);

    // The lines in view from the next one on, for taking a run of them at
    // once, and where they start in the file.
    std::string_view ahead() const { return {data_ + position_, length_ - position_}; }
    std::uint64_t aheadOffset() const { return dataOffset_ + position_; }
    // Whether every line end in ahead()[0, n) is CR LF.
    bool endsOnlyInCrLf(std::size_t n) const;
    // Moves past the first `n` bytes of ahead(), whole lines.
    void skip(std::size_t n) { position_ += n; }

    // Up to `most` bytes of a line, from `from` on: its own for a line in
    // view; read into the source's buffer for one that isn't. Empty when the
    // lines ended (trouble()).
    std::string_view lineBytes(const Line& line, std::uint64_t from, std::uint64_t most) override;
    // The line's characters, as the size test counts them.
    std::uint64_t characters(const Line& line);
    // Reads elsewhere in the file, leaving the lines in view as they are; a
    // failure ends the lines too.
    std::int64_t readAt(std::uint64_t offset, char* into, std::size_t size);

    Trouble trouble() const { return trouble_; }
    int error() const { return file_->error(); }

private:
    bool refill();
    bool findLongLine(Line& line);
    bool stopRequested();  // and if so, the lines end
    bool endWith(Trouble trouble);
    char* pieceArea() const { return buffer_.get() + (2 * room_ + 1) * options_.pieceSize; }
    void nextRoom() { room_ = (room_ + 1) % kReadRooms; }

    const Options options_;
    std::function<bool()> release_;
    std::function<void(std::uint64_t)> reached_;
    const std::atomic<bool>* stopRequested_;

    std::shared_ptr<SourceFile> file_;
    SourceFormat format_;
    CrlfScan scan_;
    Trouble trouble_ = Trouble::None;

    // Rooms, each for one piece read from the file and, in front of it, the
    // unfinished line carried over from the piece before: the bytes handed
    // out from one may still be being written while the source reads into
    // the next.
    std::unique_ptr<char[]> buffer_;
    unsigned room_ = 0;
    const char* data_ = nullptr;    // the lines in view
    std::uint64_t dataOffset_ = 0;  // file offset of data_[0]
    std::size_t length_ = 0;        // bytes held
    std::size_t position_ = 0;      // start of the next line
    bool atEnd_ = false;            // nothing follows data_[length_ - 1]
};

}  // namespace tovane
