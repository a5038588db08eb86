// The streaming heart of a run: reads the source piece by piece (the next
// piece on a second thread), finds its lines, and writes them whole into
// numbered parts, starting a new part when the next line would push the
// current one past the byte limit.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "part_writer.h"
#include "read_ahead.h"
#include "source_file.h"
#include "split_types.h"
#include "text_encoding.h"

namespace tovane {

class LineSplitter {
public:
    struct Options {
        // The size of each piece read from the file: large reads, and few
        // lines cut at a piece's end. Even, so that a UTF-16 code unit never
        // straddles two reads.
        std::size_t bufferSize = std::size_t{1} << 20;
    };

    LineSplitter(const SplitPlan& plan, ProgressCallback progress,
                 const std::atomic<bool>* stopRequested, Options options);
    LineSplitter(const SplitPlan& plan, ProgressCallback progress,
                 const std::atomic<bool>* stopRequested)
        : LineSplitter(plan, std::move(progress), stopRequested, Options{}) {}

    SplitOutcome run();

private:
    enum class Step { Continue, Failed, Stopped };
    enum class Fit { SamePart, NewPart, CountFirst };

    Step refill();
    Step splitLongLine();
    Step emitLine(std::size_t start, std::size_t length, std::size_t terminator);
    Step appendRunOfLines(std::size_t& taken);
    std::size_t findLastCarriageReturn(const char* run, std::size_t within) const;
    std::size_t findLoneCarriageReturn(const char* run, std::size_t length) const;
    Step startPart();
    Fit fitByLength(std::uint64_t length) const;
    bool fitsByCount(std::uint64_t chars) const;
    // Whether a line of `length` bytes opens a new part; `count` gives its
    // characters and is called only when the byte bounds don't decide.
    template <typename Count>
    bool opensNewPart(std::uint64_t length, Count count) const {
        if (partNumber_ == 0) return true;
        const Fit fit = fitByLength(length);
        return fit == Fit::NewPart || (fit == Fit::CountFirst && !fitsByCount(count()));
    }
    std::size_t findCarriageReturn(const char* base, std::size_t from, std::size_t to) const;
    bool isLineFeed(const char* unit) const;
    std::uint64_t countCharsAt(std::uint64_t offset, std::uint64_t length, Step& step);
    bool stopRequested() const;
    void reportProgress(std::uint64_t done);
    bool needsLongLine() const;
    char* pieceArea(int side) const;

    SplitOutcome finish(SplitOutcome::Result result);
    Step failRead();
    Step failWrite(bool creating);
    Step failChanged();

    const SplitPlan& plan_;
    ProgressCallback progress_;
    const std::atomic<bool>* stopRequested_;
    Options options_;

    SourceFile source_;
    PartWriter part_;
    TextEncoding encoding_ = TextEncoding::Gbk;
    std::size_t unit_ = 1;
    std::uint64_t partNumber_ = 0;  // of the part open now; 0 before the first

    // Two sides, each with room for one piece read from the file and, in
    // front of it, for the unfinished line carried over from the other side.
    // One side is being split while the next piece is read into the other.
    std::unique_ptr<char[]> buffer_;
    ReadAhead readAhead_;
    int side_ = 0;                        // the side data_ lies in
    const char* data_ = nullptr;          // the lines being split
    std::uint64_t dataOffset_ = 0;        // file offset of data_[0]
    std::size_t length_ = 0;              // bytes held
    std::size_t position_ = 0;            // start of the next line
    bool atEnd_ = false;                  // nothing follows data_[length_ - 1]
    bool noLoneCr_ = false;               // every CR in the data is known to be followed by LF
    std::uint64_t reported_ = 0;          // progress already reported
    std::uint64_t runsBlockedUntil_ = 0;  // file offset past a lone CR seen ahead

    std::string message_;
};

}  // namespace tovane
