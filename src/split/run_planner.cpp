#include "split/run_planner.h"

#include <algorithm>

#include "split/io/file_system.h"
#include "split/run_execution.h"
#include "split/text/crlf_scan.h"
#include "split/ways/ways.h"

namespace tovane {

namespace {

using Kind = Problem::Kind;
using Result = SplitOutcome::Result;

constexpr SourceFormat kUtf8WithMark{Encoding::Utf8, true};

CheckedRequest refuse(Problem problem) {
    CheckedRequest checked;
    checked.problem = std::move(problem);
    return checked;
}

PlannedRun endBefore(Result result, Problem problem = {}) {
    PlannedRun planned;
    planned.result = result;
    planned.problem = std::move(problem);
    return planned;
}

WayNumbers numbersOf(const SplitPlan& plan) {
    return {plan.byteLimit, plan.mostParts, plan.perPart, plan.perPartFigure};
}

// The source as the checks opened it, or opened now (and not, when it can't be).
std::shared_ptr<SourceFile> openedSource(const SplitPlan& plan) {
    if (plan.source) return plan.source;
    auto source = std::make_shared<SourceFile>();
    source->askEncoding(plan.encoding);
    source->open(plan.sourcePath);
    return source;
}

// Whether the chapters the plan came with are of the file as it is open,
// with what this run needs of them.
bool fits(const std::shared_ptr<const ChapterMap>& chapters, const SourceFile& source, bool measure,
          bool texts) {
    return chapters && chapters->describes(source.identity(), source.stampAtOpen()) &&
           (!measure || chapters->measured) && (!texts || chapters->withTexts);
}

}  // namespace

CheckedRequest checkRequest(const SplitRequest& request) {
    if (!files::isRegularFile(request.sourcePath)) return refuse(Problem::of(Kind::SourceMissing));
    if (!files::isDirectory(request.saveFolder))
        return refuse(Problem::of(Kind::SaveFolderMissing));
    if (!isPlainFileName(request.baseName)) {
        return refuse(Problem::about(Kind::BaseNameNotPlain, request.baseName));
    }
    SplitPlan plan;
    plan.sourcePath = request.sourcePath;
    plan.saveFolder = withTrailingSeparator(request.saveFolder);
    plan.baseName = request.baseName;
    plan.mode = request.mode;
    plan.heading = request.heading;
    plan.chapters = request.chapters;
    const SplitWay& way = wayOf(request.mode);
    // Titles come from the chapters: only the ways that find them have any.
    plan.titleNames = request.titleNames && way.cutsAtChapters();
    plan.pad = request.pad || plan.titleNames;
    plan.toUtf8 = request.toUtf8;
    plan.encoding = request.encoding;
    // Opened once for the run; one that can't be read now fails the run later.
    plan.source = std::make_shared<SourceFile>();
    plan.source->askEncoding(request.encoding);
    NumberContext context;
    if (plan.source->open(request.sourcePath)) {
        context.sourceSize = plan.source->size();
        context.output = plan.source->format().value_or(SourceFormat{});
        if (plan.source->markContradicts()) {
            return refuse(Problem::markContradicts(context.output.encoding, *request.encoding));
        }
    } else {
        plan.source.reset();
    }
    if (plan.toUtf8) context.output = kUtf8WithMark;
    WayNumbers numbers;
    if (Problem problem = way.read(request.numberText, context, numbers)) return refuse(problem);
    plan.byteLimit = numbers.byteLimit;
    plan.perPart = numbers.perPart;
    plan.mostParts = numbers.mostParts;
    plan.perPartFigure = numbers.perPartFigure;
    CheckedRequest checked;
    checked.plan = std::move(plan);
    return checked;
}

PlannedRun planRun(const SplitPlan& checked, const RunOptions& options,
                   const std::atomic<bool>* stopRequested) {
    if (!isPlainFileName(checked.baseName)) {
        return endBefore(Result::Failed, Problem::about(Kind::BaseNameNotPlain, checked.baseName));
    }
    RunPlan plan;
    plan.sourcePath = checked.sourcePath;
    plan.source = openedSource(checked);
    if (!plan.source->isOpen() || !plan.source->format()) {
        return endBefore(Result::Failed, Problem::about(Kind::CannotRead, checked.sourcePath,
                                                        plan.source->error()));
    }
    plan.format = *plan.source->format();
    if (plan.source->markContradicts()) {
        return endBefore(Result::CheckFailed,
                         Problem::markContradicts(plan.format.encoding, *checked.encoding));
    }
    if (plan.source->size() <= plan.format.mark().size()) return endBefore(Result::Empty);
    plan.saveFolder = checked.saveFolder;
    plan.baseName = checked.baseName;
    plan.way = &wayOf(checked.mode);
    plan.numbers = numbersOf(checked);
    plan.toUtf8 = checked.toUtf8;
    plan.pieceSize = options.pieceSize;
    const SplitWay& way = *plan.way;

    // The chapters to cut at: those found before, when they are of the file
    // as it is now (and counted, where the rule measures them), or else found now.
    if (way.cutsAtChapters()) {
        const bool measure = way.number == WayNumber::Kilobytes;
        plan.chapters = checked.chapters;
        if (!fits(plan.chapters, *plan.source, measure, checked.titleNames)) {
            const ChapterList list =
                findChapters(plan.source, plan.format, plan.sourcePath, checked.heading,
                             {checked.titleNames, measure}, stopRequested);
            if (list.result == ChapterList::Result::Failed) {
                return endBefore(Result::Failed, list.problem);
            }
            if (list.result == ChapterList::Result::Stopped) return endBefore(Result::Stopped);
            plan.chapters = list.map;
        }
        const std::vector<ChapterBlock>& blocks = plan.chapters->blocks;
        if (blocks.empty()) return endBefore(Result::CheckFailed, Problem::of(Kind::NoHeadings));
        if (way.cuts == WayCuts::Volumes &&
            std::none_of(blocks.begin(), blocks.end(), [](const auto& b) { return b.volume; })) {
            return endBefore(Result::CheckFailed, Problem::of(Kind::NoVolumes));
        }
    }

    // Padded numbers take the width of the last part's number: known from
    // the chapters in the ways that cut at them, counted in a run that makes
    // no file otherwise.
    if (checked.pad || checked.titleNames) {
        std::uint64_t parts = 0;
        if (way.cutsAtChapters()) {
            parts = partsOfChapters(way, plan.numbers, *plan.chapters);
        } else {
            RunPlan counting = plan;
            // Only a cap counts the bytes written: the other ways cut alike
            // in either encoding, and count without converting.
            counting.toUtf8 = plan.toUtf8 && way.atMost;
            const SplitOutcome counted = executePlan(counting, {}, stopRequested, true);
            if (counted.result != Result::Done) return endBefore(counted.result, counted.problem);
            parts = counted.parts;
        }
        plan.naming = {std::to_string(std::max<std::uint64_t>(parts, 1)).size(),
                       checked.titleNames};
    }
    PlannedRun planned;
    planned.plan = std::move(plan);
    planned.result = Result::Done;
    return planned;
}

std::uint64_t forecastParts(const SplitPlan& checked) {
    const std::shared_ptr<SourceFile> source = openedSource(checked);
    if (!source->isOpen() || !source->format() || source->size() == 0) return 0;
    const SplitWay& way = wayOf(checked.mode);
    if (way.cutsAtChapters()) {
        const ChapterMap* chapters = checked.chapters.get();
        if (chapters == nullptr ||
            !chapters->describes(source->identity(), source->stampAtOpen())) {
            return 0;
        }
        return partsOfChapters(way, numbersOf(checked), *chapters);
    }
    const std::uint64_t size = source->size();
    const std::uint64_t limit = checked.byteLimit;
    if (limit > 0) return size / limit + (size % limit != 0 ? 1 : 0);
    std::string sample(static_cast<std::size_t>(std::min<std::uint64_t>(size, 64 * 1024)), '\0');
    const std::int64_t got = source->readAt(0, sample.data(), sample.size());
    if (got <= 0) return 0;
    sample.resize(static_cast<std::size_t>(got));
    const CrlfScan scan(source->format()->codec());
    std::uint64_t lines = 0;
    for (std::size_t at = 0;;) {
        const CrlfScan::Line line = scan.nextLine(sample.data(), at, sample.size(), true);
        if (line.none) break;
        ++lines;
        at += line.length + line.terminator;
    }
    // Scaled from the sample to the whole file (lines never outnumber the
    // sample's bytes, so neither product can overflow).
    const std::uint64_t sampled = sample.size();
    return size / sampled * lines + (size % sampled * lines + sampled - 1) / sampled;
}

}  // namespace tovane
