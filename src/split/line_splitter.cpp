#include "split/line_splitter.h"

#include <algorithm>

#include "split/chapters/chapter_map.h"
#include "split/conversion_check.h"
#include "split/part_limit.h"
#include "split/parts/part_names.h"
#include "split/split_modes.h"
#include "split/text/utf8_conversion.h"

namespace tovane {

namespace {

using Kind = Problem::Kind;

}  // namespace

LineSplitter::LineSplitter(SplitPlan plan, ProgressCallback progress,
                           const std::atomic<bool>* stopRequested, Options options)
    : plan_(std::move(plan)),
      options_(options),
      progress_(std::move(progress)),
      stopRequested_(stopRequested),
      source_(
          plan_.sourcePath, {options.bufferSize}, [this] { return sink_.flush(); },
          [this](std::uint64_t done) { reportProgress(done); }, stopRequested),
      sink_(plan_.saveFolder, plan_.baseName) {
    if (options_.countOnly) sink_.countOnly();
}

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
        return end(SplitOutcome::Result::Failed,
                   Problem::about(Kind::BaseNameNotPlain, plan_.baseName));
    }
    if (!source_.open()) {
        return end(SplitOutcome::Result::Failed,
                   Problem::about(Kind::CannotRead, plan_.sourcePath, source_.error()));
    }
    if (source_.holdsNoText()) return end(SplitOutcome::Result::Empty);
    if (plan_.toUtf8) {
        source_.convertToUtf8();
        if (!options_.countOnly) checkConversionAlongside();
    }
    if (splitModeRow(plan_.mode).cutsAtChapters && !findChapters()) return false;
    rule_ = makeCutRule(plan_, source_, chapters_);
    if (!nameParts()) return false;
    // Whatever the sink refuses at the start, it refuses before changing anything.
    if (!sink_.begin(source_.identity(), source_.format(), rule_->partsAtMost(source_.size()),
                     plan_.toUtf8)) {
        return end(SplitOutcome::Result::CheckFailed, sink_.problem());
    }
    reportProgress(0);
    return true;
}

// Parts written in UTF-8 lose no byte: every line must convert, or no part
// takes its name. A pass over the whole file checks that, on a thread of its
// own while the parts are written under their hidden names; the first part
// to be named waits for it.
void LineSplitter::checkConversionAlongside() {
    conversionCheck_ = std::async(std::launch::async, [this] {
        return tovane::checkConversion(plan_.sourcePath, &stopConversionCheck_);
    });
    sink_.holdNamesUntil([this](bool wait) { return conversionChecked(wait); });
}

PartSink::Clearance LineSplitter::conversionChecked(bool wait) {
    using namespace std::chrono_literals;
    while (conversionCheck_.wait_for(wait ? 20ms : 0ms) != std::future_status::ready) {
        if (!wait) return PartSink::Clearance::NotYet;
        if (stopRequested_ != nullptr && stopRequested_->load(std::memory_order_relaxed)) {
            stopConversionCheck_ = true;
        }
    }
    checked_ = conversionCheck_.get();
    // A check cut short by a stop clears the parts made: each is whole.
    const bool cleared = checked_->result == ConversionCheck::Result::Converts ||
                         checked_->result == ConversionCheck::Result::Stopped;
    return cleared ? PartSink::Clearance::Cleared : PartSink::Clearance::Refused;
}

LineSplitter::~LineSplitter() {
    stopConversionCheck_ = true;
    if (conversionCheck_.valid()) conversionCheck_.wait();
}

// Padded numbers take the width of the last part's number: known from the
// chapters in the ways that cut at them, counted in a pass of its own
// otherwise (a run that makes no file).
bool LineSplitter::nameParts() {
    if (!plan_.pad && !plan_.titleNames) return true;
    std::uint64_t parts = 0;
    const SplitModeRow& way = splitModeRow(plan_.mode);
    if (way.mode == SplitMode::ByChapters) {
        parts = partsOfChapters(*chapters_, plan_.chaptersPerPart);
    } else if (way.mode == SplitMode::BySizeAtChapters) {
        parts = partsOfSizeAtChapters(*chapters_, plan_.byteLimit);
    } else {
        SplitPlan counting = plan_;
        counting.pad = false;
        counting.titleNames = false;
        // Only a cap counts the bytes written: the other ways cut alike in
        // either encoding, and count without converting.
        counting.toUtf8 = plan_.toUtf8 && way.atMost;
        Options options = options_;
        options.countOnly = true;
        const SplitOutcome counted = LineSplitter(counting, {}, stopRequested_, options).run();
        if (counted.result != SplitOutcome::Result::Done)
            return end(counted.result, counted.problem);
        parts = counted.parts;
    }
    sink_.nameParts({std::to_string(std::max<std::uint64_t>(parts, 1)).size(), plan_.titleNames});
    return going();
}

// The words of the first heading of the chapter that begins at `offset`,
// for the name of the part it opens; none for a part that opens otherwise.
std::string LineSplitter::titleOfPartAt(std::uint64_t offset) const {
    if (!plan_.titleNames || !chapters_) return {};
    const std::vector<ChapterBlock>& blocks = chapters_->blocks;
    const auto block =
        std::lower_bound(blocks.begin(), blocks.end(), offset,
                         [](const ChapterBlock& b, std::uint64_t at) { return b.offset < at; });
    if (block == blocks.end() || block->offset != offset) return {};
    const auto k = static_cast<std::size_t>(block - blocks.begin());
    const std::vector<Chapter>& headings = chapters_->headings;
    const auto first =
        std::lower_bound(headings.begin(), headings.end(), k,
                         [](const Chapter& heading, std::size_t b) { return heading.block < b; });
    return first != headings.end() && first->block == k ? titleForName(first->text) : std::string();
}

// The chapters to cut at: those found before, when they are of the file as
// it is now (and counted, where the rule measures them), or else found now.
bool LineSplitter::findChapters() {
    const bool measure = plan_.mode == SplitMode::BySizeAtChapters;
    std::shared_ptr<const ChapterMap>& chapters = chapters_;
    chapters = plan_.chapters;
    const bool texts = plan_.titleNames;
    if (!chapters || !chapters->describes(source_.identity(), source_.stampAtOpen()) ||
        (measure && !chapters->measured) || (texts && !chapters->withTexts)) {
        const ChapterList list =
            tovane::findChapters(plan_.sourcePath, plan_.heading, {texts, measure}, stopRequested_);
        switch (list.result) {
            case ChapterList::Result::Done:
                break;
            case ChapterList::Result::Failed:
                return end(SplitOutcome::Result::Failed, list.problem);
            case ChapterList::Result::Stopped:
                return end(SplitOutcome::Result::Stopped);
        }
        chapters = list.map;
    }
    if (chapters->blocks.empty()) {
        return end(SplitOutcome::Result::CheckFailed, Problem::of(Kind::NoHeadings));
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
    if (opens && !sink_.nextPart(titleOfPartAt(line.offset))) return failWrite();
    const std::string_view lineBreak = source_.codec().lineBreak();
    // Only a cap is measured in the bytes the part holds.
    if (rule_->capacity() != kUnlimitedPart) {
        const std::uint64_t room = rule_->capacity() - std::min(rule_->capacity(), sink_.output());
        const std::uint64_t length = source_.outputLength(line);
        if (length + source_.outputFormat().codec().lineBreak().size() > room) {
            return plan_.toUtf8 ? cutConverted(line) : cut(line);
        }
    }
    if (line.inView() && line.terminator == lineBreak.size()) {
        return sink_.write({line.bytes, line.length + line.terminator}) || failWrite();
    }
    return copy(line, 0, line.length) && (sink_.write(lineBreak) || failWrite());
}

// A line too long for any part: each piece fills a part up to the rule's
// capacity, ending at a character boundary and leaving at least one byte for
// the last piece, which goes with the line's CR LF.
bool LineSplitter::cut(const LineSource::Line& line) {
    const std::string_view lineBreak = source_.codec().lineBreak();
    std::uint64_t done = 0;
    while (line.length - done + lineBreak.size() > rule_->capacity() - sink_.written()) {
        const std::uint64_t most =
            std::min(rule_->capacity() - sink_.written(), line.length - done - 1);
        CharacterWalk boundaries(source_.codec(), most);
        const std::uint64_t look =
            std::min(most + source_.codec().longestCharacter(), line.length - done);
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

// The same in UTF-8: each piece fills its part up to the capacity in the bytes
// it converts to, a character at a time, leaving at least one character for
// the last piece.
bool LineSplitter::cutConverted(const LineSource::Line& line) {
    const Codec& codec = source_.codec();
    const std::uint64_t crLf = source_.outputFormat().codec().lineBreak().size();
    std::uint64_t done = 0;                           // source bytes of the line written
    std::uint64_t left = source_.outputLength(line);  // the bytes the rest converts to
    while (left + crLf > rule_->capacity() - sink_.output()) {
        const std::uint64_t room = rule_->capacity() - sink_.output();
        std::uint64_t piece = 0;     // source bytes of the piece
        std::uint64_t pieceOut = 0;  // and what they convert to
        bool full = false;
        while (!full) {
            const std::string_view bytes = source_.lineBytes(line, done + piece, 4096);
            if (bytes.empty()) return endLines();
            std::size_t at = 0;
            while (!full && at < bytes.size()) {
                std::size_t length = 0;
                const int out = Utf8Conversion::characterAt(codec, bytes.substr(at), length);
                if (out < 0) break;  // a character the window cuts off: read on from it
                const bool last = done + piece + length >= line.length;
                full = last || pieceOut + static_cast<std::uint64_t>(out) > room;
                if (full) break;
                piece += length;
                pieceOut += static_cast<std::uint64_t>(out);
                at += length;
            }
            if (!full && at == 0) return endLines();
        }
        if (!copy(line, done, piece)) return false;
        done += piece;
        left -= pieceOut;
        if (!sink_.nextPart()) return failWrite();
    }
    return copy(line, done, line.length - done) &&
           (sink_.write(source_.codec().lineBreak()) || failWrite());
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
            problem_ = sink_.problem();
        } else if (source_.changedSinceOpen()) {
            result = SplitOutcome::Result::Failed;
            problem_ = Problem::about(Kind::SourceChanged, plan_.sourcePath);
        }
    }
    source_.close();
    // A run that ends otherwise than done, for a reason other than a byte
    // that didn't convert, needs the check no more.
    if (result != SplitOutcome::Result::Done && !sink_.conversionFailed())
        stopConversionCheck_ = true;
    if (!sink_.finish(result == SplitOutcome::Result::Done)) {
        if (!problem_) problem_ = sink_.problem();
        result = SplitOutcome::Result::Failed;
    }
    if (sink_.namesRefused() && checked_) {
        if (checked_->result == ConversionCheck::Result::Unconvertible) {
            result = SplitOutcome::Result::CheckFailed;
            problem_ = Problem::unconvertible(checked_->line, checked_->offset);
        } else {
            problem_ = checked_->problem;
        }
    }
    SplitOutcome outcome;
    outcome.result = result;
    outcome.parts = sink_.published();
    if (result == SplitOutcome::Result::Done) reportProgress(source_.size());
    // After a finished run or a stopped one, parts of an earlier run past
    // the last one made are named to the user.
    if (result == SplitOutcome::Result::Done || result == SplitOutcome::Result::Stopped) {
        problem_ = sink_.leftFromBefore();
    }
    outcome.problem = problem_;
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
                       Problem::about(Kind::CannotRead, plan_.sourcePath, source_.error()));
        case LineSource::Trouble::Changed:
            return end(SplitOutcome::Result::Failed,
                       Problem::about(Kind::SourceChanged, plan_.sourcePath));
        case LineSource::Trouble::Stopped:
            return end(SplitOutcome::Result::Stopped);
        case LineSource::Trouble::Refused:
            return failWrite();
    }
    return end(SplitOutcome::Result::Failed);
}

bool LineSplitter::failWrite() {
    return end(SplitOutcome::Result::Failed, sink_.problem());
}

// Records how the run ends (the first reason counts) and returns false.
bool LineSplitter::end(SplitOutcome::Result result, Problem problem) {
    if (!ended_) ended_ = result;
    if (!problem_) problem_ = std::move(problem);
    return false;
}

void LineSplitter::reportProgress(std::uint64_t done) {
    done = std::min(done, source_.size());
    if (!progress_ || done < reported_) return;
    reported_ = done;
    progress_({done, source_.size(), sink_.number()});
}

}  // namespace tovane
