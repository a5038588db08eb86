#include "split/line_splitter.h"

#include <algorithm>

#include "split/parts/part_names.h"

namespace tovane {

// Each turn writes a run of lines the rule lets through unseen, or else
// shows the rule the next line and writes it where the rule says.
LineSplitter::Ended LineSplitter::run(CutRule& rule) {
    rule_ = &rule;
    while (going()) {
        if (takeRun()) continue;
        SourceLine line;
        if (!source_.next(line)) {
            endLines();
            break;
        }
        place(line);
    }
    return *ended_;
}

CutRule::Part LineSplitter::part() const {
    return {stage_.partNumber(), stage_.sourceBytes(), stage_.outputBytes()};
}

// Takes as many whole lines as the rule says certainly stay in the part.
// Lines that all end in CR LF go out exactly as they stand in the source;
// others are copied with CR LF ends. True when it took some, or failed.
bool LineSplitter::takeRun() {
    const std::string_view ahead = source_.ahead();
    const CrlfScan& scan = source_.scan();
    const CutRule::Run run = rule_->run(ahead, source_.aheadOffset(), part());
    if (run.extent < scan.unit()) return false;
    // An LF at a line's start ends an empty line on its own: not CR LF.
    if (!scan.isLf(ahead.data())) {
        // A line that ends its CR at `room` bytes in still fits when what is
        // measured of it are its characters, not its CR LF.
        const std::uint64_t slack = run.withLineBreaks ? 0 : 2 * scan.unit();
        const std::size_t span = static_cast<std::size_t>(
            std::min<std::uint64_t>(run.extent, std::max(run.room, run.room + slack)));
        const std::size_t lf = scan.findLastLineFeed(ahead.data(), span);
        if (lf != CrlfScan::kNotFound && source_.endsOnlyInCrLf(lf + scan.unit())) {
            source_.skip(lf + scan.unit());
            if (!stage_.write(ahead.substr(0, lf + scan.unit()))) failWrite();
            return true;
        }
    }
    PartWriter::Staging area{};
    if (!stage_.staging(area)) return !failWrite();
    const CrlfScan::Copied copied = scan.copyLinesAsCrLf(ahead.data(), run.extent, area.data,
                                                         area.size, run.room, run.withLineBreaks);
    if (copied.consumed == 0) return false;
    source_.skip(copied.consumed);
    if (!stage_.writeStaged(copied.produced)) failWrite();
    return true;
}

// Writes one line into the part the rule chooses, cut into pieces when no
// part could hold it whole. A line that already ends in CR LF goes out with
// its own line end, so that a stretch of such lines stays one piece.
bool LineSplitter::place(const SourceLine& line) {
    const bool opens = rule_->opensPart(line, part());
    if (source_.trouble() != LineSource::Trouble::None) return endLines();
    if (opens && !nextPart(line.offset)) return failWrite();
    const std::string_view lineBreak = source_.codec().lineBreak();
    // Only a cap is measured in the bytes the part holds.
    if (rule_->capacity() != kUnlimitedPart) {
        const std::uint64_t room = rule_->capacity() - std::min(rule_->capacity(), part().output);
        if (outputLength(line) + stage_.output().codec().lineBreak().size() > room) {
            return cut(line);
        }
    }
    if (line.inView() && line.terminator == lineBreak.size()) {
        return stage_.write({line.bytes, line.length + line.terminator}) || failWrite();
    }
    return copy(line, 0, line.length) && (stage_.write(lineBreak) || failWrite());
}

// A line too long for any part: each piece fills a part up to the rule's
// capacity, ending between two characters and leaving at least a character
// for the last piece, which goes with the line's CR LF.
bool LineSplitter::cut(const SourceLine& line) {
    const std::uint64_t lineBreak = stage_.output().codec().lineBreak().size();
    std::uint64_t done = 0;                   // the source's bytes of the line written
    std::uint64_t left = outputLength(line);  // the bytes the rest makes in a part
    while (left + lineBreak > rule_->capacity() - part().output) {
        const OutputStage::Fit piece =
            stage_.fit(line, done, rule_->capacity() - part().output, source_);
        if (piece.source == 0) return endLines();
        if (!copy(line, done, piece.source)) return false;
        done += piece.source;
        left -= piece.output;
        if (!stage_.nextPart()) return failWrite();
    }
    return copy(line, done, line.length - done) &&
           (stage_.write(source_.codec().lineBreak()) || failWrite());
}

// Hands bytes [from, from + count) of the line to the stage, a piece at a
// time for a line not in view.
bool LineSplitter::copy(const SourceLine& line, std::uint64_t from, std::uint64_t count) {
    for (std::uint64_t done = 0; done < count;) {
        const std::string_view bytes = source_.lineBytes(line, from + done, count - done);
        if (bytes.empty()) return endLines();
        if (!stage_.write(bytes)) return failWrite();
        done += bytes.size();
    }
    return true;
}

// A part that opens at a chapter is named after its first heading, where
// the names carry titles.
bool LineSplitter::nextPart(std::uint64_t offset) {
    if (titles_ == nullptr) return stage_.nextPart();
    const std::string_view heading = titles_->headingAt(offset);
    return stage_.nextPart(heading.empty() ? std::string() : titleForName(heading));
}

bool LineSplitter::going() {
    if (ended_) return false;
    if (stopRequested_ != nullptr && stopRequested_->load(std::memory_order_relaxed)) {
        return end(SplitOutcome::Result::Stopped);
    }
    return true;
}

// The source has no more lines for us: all were read, or why not.
bool LineSplitter::endLines() {
    using Kind = Problem::Kind;
    switch (source_.trouble()) {
        case LineSource::Trouble::None:
            return end(stage_.partNumber() == 0 ? SplitOutcome::Result::Empty
                                                : SplitOutcome::Result::Done);
        case LineSource::Trouble::Read:
            return end(SplitOutcome::Result::Failed,
                       Problem::about(Kind::CannotRead, sourcePath_, source_.error()));
        case LineSource::Trouble::Changed:
            return end(SplitOutcome::Result::Failed,
                       Problem::about(Kind::SourceChanged, sourcePath_));
        case LineSource::Trouble::Stopped:
            return end(SplitOutcome::Result::Stopped);
        case LineSource::Trouble::Refused:
            return failWrite();
    }
    return end(SplitOutcome::Result::Failed);
}

bool LineSplitter::failWrite() {
    return end(SplitOutcome::Result::Failed, stage_.problem());
}

// Records how the lines ended (the first reason counts) and returns false.
bool LineSplitter::end(SplitOutcome::Result result, Problem problem) {
    if (!ended_) ended_ = Ended{result, {}};
    if (!ended_->problem) ended_->problem = std::move(problem);
    return false;
}

}  // namespace tovane
