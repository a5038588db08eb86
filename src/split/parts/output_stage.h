// How the source's lines become the bytes of the parts: as they stand, or
// converted to UTF-8. The stage stands between the splitter and the part
// files: the splitter hands it the source's bytes and says where parts end;
// it writes the parts' bytes through the sink, keeps each part's size as the
// source counts it (what the size tests go by), measures a line as a part
// will hold it (what a cap goes by) and finds how much of a long line fits
// the room a part has left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "split/line_measure.h"
#include "split/parts/part_sink.h"
#include "split/problem.h"
#include "split/text/source_format.h"

namespace tovane {

class OutputStage {
public:
    // Of a line's bytes from some place on, what fills a part's room: the
    // source's bytes taken and the bytes they make in the part.
    struct Fit {
        std::uint64_t source = 0;
        std::uint64_t output = 0;
    };

    OutputStage(PartSink& sink, const SourceFormat& source, const SourceFormat& output)
        : sink_(sink), source_(source), output_(output) {}
    OutputStage(const OutputStage&) = delete;
    OutputStage& operator=(const OutputStage&) = delete;
    virtual ~OutputStage() = default;

    // The format of the source and of the parts (their mark and line break).
    const SourceFormat& source() const { return source_; }
    const SourceFormat& output() const { return output_; }
    bool converts() const { return !(source_ == output_); }
    PartSink& sink() { return sink_; }

    // Ends the part being written, if any, and begins the next.
    bool nextPart(std::string_view title = {});
    // The part being written, as CutRule::Part has it.
    std::uint64_t partNumber() const { return sink_.number(); }
    std::uint64_t sourceBytes() const { return partSourceBytes_; }
    std::uint64_t outputBytes() const { return sink_.output(); }

    // Bytes of the source for the part being written: they must stay as they
    // are until release().
    virtual bool write(std::string_view bytes) = 0;
    // Room to copy the source's bytes into, then write them with writeStaged().
    virtual bool staging(PartWriter::Staging& area) = 0;
    virtual bool writeStaged(std::size_t size) = 0;
    // The source's bytes handed in may be overwritten once this returns true.
    virtual bool release() = 0;

    // The bytes `line` takes in a part, without its end.
    virtual std::uint64_t lengthOf(const SourceLine& line, LineReader& reader) = 0;
    // Of `line` from `from` on, the most that fills at most `room` bytes of a
    // part and ends between two characters, leaving at least a byte of the
    // line (the stage's own character, converted) for the last piece.
    // Nothing taken means the lines ended (the reader says why).
    virtual Fit fit(const SourceLine& line, std::uint64_t from, std::uint64_t room,
                    LineReader& reader) = 0;

    // Why writing failed: the stage's own trouble, or the sink's.
    virtual Problem problem() const { return sink_.problem(); }
    // The run's lines ended, all of them written (`done`) or not: nothing
    // more to wait for.
    virtual void linesEnded(bool /*done*/) {}
    // At the end of a run: why the parts had to go although every line was
    // written (none for the source's own bytes).
    virtual Problem refusal() { return {}; }

protected:
    void counted(std::uint64_t sourceBytes) { partSourceBytes_ += sourceBytes; }

private:
    PartSink& sink_;
    SourceFormat source_;
    SourceFormat output_;
    std::uint64_t partSourceBytes_ = 0;  // of the part being written, its mark included
};

}  // namespace tovane
