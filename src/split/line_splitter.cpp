#include "split/line_splitter.h"

#include <algorithm>

#include "split/chapters/chapter_map.h"
#include "split/parts/part_names.h"
#include "split/split_modes.h"
#include "split/split_texts.h"
#include "split/text/char_counter.h"

namespace tovane {

LineSplitter::LineSplitter(SplitPlan plan, ProgressCallback progress,
                           const std::atomic<bool>* stopRequested, Options options)
    : plan_(std::move(plan)),
      progress_(std::move(progress)),
      stopRequested_(stopRequested),
      source_(
          plan_.sourcePath, {options.bufferSize}, [this] { return sink_.flush(); },
          [this](std::uint64_t done) { reportProgress(done); }, stopRequested),
      sink_(plan_.saveFolder, plan_.baseName) {}

// Each turn writes a run of lines the rule lets through unseen, or else
// shows the rule the next line and writes it where the rule says.
SplitOutcome LineSplitter::run() {
    if (begin()) {
        while (going()) {
            if (takeRun()) continue;
            LineSource::Line line;
            if (!source_.next(line)) {
                endLines();
                break;
            }
            place(line);
        }
    }
    return finish();
}

// Refuses a base name that isn't a plain file name, opens the source, tells
// its encoding and has the sink take the save folder.
bool LineSplitter::begin() {
    if (!isPlainFileName(plan_.baseName)) {
        return end(SplitOutcome::Result::Failed, texts::baseNameNotPlain(plan_.baseName));
    }
    if (!source_.open()) {
        return end(SplitOutcome::Result::Failed,
                   texts::cannotRead(plan_.sourcePath, source_.error()));
    }
    if (source_.holdsNoText()) return end(SplitOutcome::Result::Empty);
    std::shared_ptr<const ChapterMap> chapters;
    if (splitModeRow(plan_.mode).cutsAtChapters) {
        if (!findChapters(chapters)) return false;
    }
    rule_ = makeCutRule(plan_, source_, std::move(chapters));
    // Whatever the sink refuses at the start, it refuses before changing anything.
    if (!sink_.begin(source_.identity(), source_.facts().byteOrderMark,
                     rule_->partsAtMost(source_.size()))) {
        return end(SplitOutcome::Result::CheckFailed, sink_.message());
    }
    reportProgress(0);
    return true;
}

// The chapters to cut at: those found before, when they are of the file as
// it is now (and counted, where the rule measures them), or else found now.
bool LineSplitter::findChapters(std::shared_ptr<const ChapterMap>& chapters) {
    const bool measure = plan_.mode == SplitMode::BySizeAtChapters;
    chapters = plan_.chapters;
    if (!chapters || !chapters->describes(source_.identity(), source_.stampAtOpen()) ||
        (measure && !chapters->measured)) {
        const ChapterList list =
            tovane::findChapters(plan_.sourcePath, plan_.heading, {false, measure}, stopRequested_);
        switch (list.result) {
            case ChapterList::Result::Done:
                break;
            case ChapterList::Result::Failed:
                return end(SplitOutcome::Result::Failed, list.message);
            case ChapterList::Result::Stopped:
                return end(SplitOutcome::Result::Stopped);
        }
        chapters = list.map;
    }
    if (chapters->blocks.empty()) {
        return end(SplitOutcome::Result::CheckFailed, std::string(texts::kNoHeadings));
    }
    return going();
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
            if (!sink_.write(ahead.substr(0, lf + scan.unit()))) failWrite();
            return true;
        }
    }
    PartWriter::Staging area{};
    if (!sink_.staging(area)) return !failWrite();
    const CrlfScan::Copied copied = scan.copyLinesAsCrLf(ahead.data(), run.extent, area.data,
                                                         area.size, run.room, run.withLineBreaks);
    if (copied.consumed == 0) return false;
    source_.skip(copied.consumed);
    if (!sink_.writeStaged(copied.produced)) failWrite();
    return true;
}

// Writes one line into the part the rule chooses, cut into pieces when no
// part could hold it whole. A line that already ends in CR LF goes out with
// its own line end, so that a stretch of such lines stays one piece.
bool LineSplitter::place(const LineSource::Line& line) {
    const bool opens = rule_->opensPart(line, part());
    if (source_.trouble() != LineSource::Trouble::None) return endLines();
    if (opens && !sink_.nextPart()) return failWrite();
    const std::string_view lineBreak = source_.facts().lineBreak;
    const std::uint64_t room = rule_->capacity() - std::min(rule_->capacity(), sink_.written());
    if (line.length + lineBreak.size() > room) return cut(line);
    if (line.inView() && line.terminator == lineBreak.size()) {
        return sink_.write({line.bytes, line.length + line.terminator}) || failWrite();
    }
    return copy(line, 0, line.length) && (sink_.write(lineBreak) || failWrite());
}

// A line too long for any part: each piece fills a part up to the rule's
// capacity, ending at a character boundary and leaving at least one byte for
// the last piece, which goes with the line's CR LF.
bool LineSplitter::cut(const LineSource::Line& line) {
    const std::string_view lineBreak = source_.facts().lineBreak;
    std::uint64_t done = 0;
    while (line.length - done + lineBreak.size() > rule_->capacity() - sink_.written()) {
        const std::uint64_t most =
            std::min(rule_->capacity() - sink_.written(), line.length - done - 1);
        CharacterBoundaries boundaries(source_.encoding(), most);
        const std::uint64_t look =
            std::min(most + source_.facts().longestCharacter, line.length - done);
        for (std::uint64_t seen = 0; seen < look;) {
            const std::string_view bytes = source_.lineBytes(line, done + seen, look - seen);
            if (bytes.empty()) return endLines();
            boundaries.feed(bytes);
            seen += bytes.size();
        }
        const std::uint64_t piece = boundaries.lastBoundary();
        if (!copy(line, done, piece)) return false;
        done += piece;
        if (!sink_.nextPart()) return failWrite();
    }
    return copy(line, done, line.length - done) && (sink_.write(lineBreak) || failWrite());
}

// Hands bytes [from, from + count) of the line to the part, a piece at a time
// for a line not in view.
bool LineSplitter::copy(const LineSource::Line& line, std::uint64_t from, std::uint64_t count) {
    for (std::uint64_t done = 0; done < count;) {
        const std::string_view bytes = source_.lineBytes(line, from + done, count - done);
        if (bytes.empty()) return endLines();
        if (!sink_.write(bytes)) return failWrite();
        done += bytes.size();
    }
    return true;
}

// Ends the run: the last part is kept when every line was written and the
// source is as it was; otherwise the part being written goes. Every complete
// part is named.
SplitOutcome LineSplitter::finish() {
    SplitOutcome::Result result = ended_.value_or(SplitOutcome::Result::Failed);
    if (result == SplitOutcome::Result::Done) {
        // What was read must be what the file held all along.
        if (!sink_.flush()) {
            result = SplitOutcome::Result::Failed;
            message_ = sink_.message();
        } else if (source_.changedSinceOpen()) {
            result = SplitOutcome::Result::Failed;
            message_ = texts::sourceChanged(plan_.sourcePath);
        }
    }
    source_.close();
    if (!sink_.finish(result == SplitOutcome::Result::Done)) {
        if (message_.empty()) message_ = sink_.message();
        result = SplitOutcome::Result::Failed;
    }
    SplitOutcome outcome;
    outcome.result = result;
    outcome.parts = sink_.published();
    if (result == SplitOutcome::Result::Done) reportProgress(source_.size());
    // After a finished run or a stopped one, parts of an earlier run past
    // the last one made are named to the user.
    if (result == SplitOutcome::Result::Done || result == SplitOutcome::Result::Stopped) {
        message_ = sink_.leftFromBefore();
    }
    outcome.message = message_;
    return outcome;
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
    switch (source_.trouble()) {
        case LineSource::Trouble::None:
            return end(sink_.number() == 0 ? SplitOutcome::Result::Empty
                                           : SplitOutcome::Result::Done);
        case LineSource::Trouble::Read:
            return end(SplitOutcome::Result::Failed,
                       texts::cannotRead(plan_.sourcePath, source_.error()));
        case LineSource::Trouble::Changed:
            return end(SplitOutcome::Result::Failed, texts::sourceChanged(plan_.sourcePath));
        case LineSource::Trouble::Stopped:
            return end(SplitOutcome::Result::Stopped);
        case LineSource::Trouble::Refused:
            return failWrite();
    }
    return end(SplitOutcome::Result::Failed);
}

bool LineSplitter::failWrite() {
    return end(SplitOutcome::Result::Failed, sink_.message());
}

// Records how the run ends (the first reason counts) and returns false.
bool LineSplitter::end(SplitOutcome::Result result, std::string message) {
    if (!ended_) ended_ = result;
    if (message_.empty()) message_ = std::move(message);
    return false;
}

void LineSplitter::reportProgress(std::uint64_t done) {
    done = std::min(done, source_.size());
    if (!progress_ || done < reported_) return;
    reported_ = done;
    progress_({done, source_.size(), sink_.number()});
}

}  // namespace tovane
