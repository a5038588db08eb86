// The streaming heart of a run: reads the source piece by piece (the next
// piece on a second thread), finds its lines, and writes them whole into
// numbered parts, starting a new part when the next line would push the
// current one past the byte limit.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "split/text/chapter_heading.h"
#include "split/text/crlf_scan.h"
#include "split/parts/part_publisher.h"
#include "split/parts/part_writer.h"
#include "split/io/read_ahead.h"
#include "split/io/source_file.h"
#include "split/split_types.h"
#include "split/text/text_encoding.h"

namespace tovane {

class LineSplitter {
public:
    struct Options {
        // The size of each piece read from the file: large reads, and few
        // lines cut at a piece's end. Even, so that a UTF-16 code unit never
        // straddles two reads.
        std::size_t bufferSize = std::size_t{1} << 20;
    };

    LineSplitter(SplitPlan plan, ProgressCallback progress, const std::atomic<bool>* stopRequested,
                 Options options);
    LineSplitter(SplitPlan plan, ProgressCallback progress, const std::atomic<bool>* stopRequested)
        : LineSplitter(std::move(plan), std::move(progress), stopRequested, Options{}) {}

    // Splits the whole source. The outcome carries no status text: that is
    // the caller's to choose from the result.
    SplitOutcome run();

private:
    enum class Step { Continue, Done, Empty, Failed, Stopped };

    // Where the next line ends, as far as the data in view tells.
    struct LineEnd {
        std::size_t length = 0;      // bytes of the line, without its terminator
        std::size_t terminator = 0;  // bytes of CR LF, CR or LF; 0 for a last line without
        bool needMore = false;       // the line or its terminator goes on past the data
        bool none = false;           // no line is left
    };

    Step start();
    Step takeRunOfLines(std::size_t& taken);
    LineEnd nextLineEnd() const;
    Step emitLine(const LineEnd& end);
    Step refill();
    Step splitLongLine();
    Step startPart();
    Step finishPart();
    SplitOutcome finish(Step step);

    // Whether a line of `length` bytes opens a new part by size; `count`
    // gives its characters and is called only when the byte bounds don't decide.
    template <typename Count>
    bool opensNewPart(std::uint64_t length, Count count) const;
    // Whether the line in view at position_ opens a new part, by the plan's rule.
    bool opensNewPart(std::string_view line, Step& step);
    std::size_t firstHeadingIn(const char* run, std::size_t available) const;
    std::uint64_t measureChapter(std::uint64_t offset, std::uint64_t room, Step& step);
    std::uint64_t countCharsAt(std::uint64_t offset, std::uint64_t length, Step& step);
    bool stopRequested() const;
    void reportProgress(std::uint64_t done);
    bool lineOutgrowsPiece() const;
    char* pieceArea(int side) const;
    void removeLeftovers() const;
    void reportPartsLeftFromBefore();

    Step failRead();
    Step failCreate();
    Step failWrite();
    Step failChanged();
    Step failWith(std::string message);

    const SplitPlan plan_;
    ProgressCallback progress_;
    const std::atomic<bool>* stopRequested_;
    const Options options_;

    SourceFile source_;
    TextEncoding encoding_ = TextEncoding::Gbk;
    CrlfScan scan_{TextEncoding::Gbk};
    std::size_t unit_ = 1;
    PartWriter part_;
    std::unique_ptr<PartPublisher> publisher_;
    std::uint64_t partNumber_ = 0;  // of the part open now; 0 before the first

    // By chapters: the rule for headings and how many were met.
    std::optional<ChapterHeading> headings_;
    std::uint64_t headingsInPart_ = 0;
    std::uint64_t headingsSeen_ = 0;
    std::unique_ptr<char[]> chapterScratch_;  // for looking a chapter over ahead

    // Two sides, each with room for one piece read from the file and, in
    // front of it, for the unfinished line carried over from the other side.
    // One side is being split while the next piece is read into the other.
    std::unique_ptr<char[]> buffer_;
    ReadAhead readAhead_;
    int side_ = 0;                  // the side data_ lies in
    const char* data_ = nullptr;    // the lines being split
    std::uint64_t dataOffset_ = 0;  // file offset of data_[0]
    std::size_t length_ = 0;        // bytes held
    std::size_t position_ = 0;      // start of the next line
    bool atEnd_ = false;            // nothing follows data_[length_ - 1]
    bool onlyCrLf_ = false;         // every line end in the data is known to be CR LF
    std::uint64_t reported_ = 0;    // progress already reported

    std::string message_;
};

}  // namespace tovane
