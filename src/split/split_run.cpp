#include "split/split_run.h"

#include "split/chapters/chapter_map.h"
#include "split/io/file_system.h"
#include "split/io/source_file.h"
#include "split/line_splitter.h"
#include "split/part_limit.h"
#include "split/parts/part_names.h"
#include "split/rules/max_size_rule.h"
#include "split/split_modes.h"
#include "split/split_texts.h"
#include "split/text/crlf_scan.h"

namespace tovane {

namespace {

// The source's format, from its first bytes; GBK when they can't be read.
SourceFormat formatOf(const std::string& path) {
    SourceFile source;
    if (!source.open(path)) return {};
    return source.readFormat().value_or(SourceFormat{});
}

SplitCheck refuse(Problem problem) {
    SplitCheck check;
    check.message = texts::describe(problem);
    check.usage = problem.usage();
    check.problem = std::move(problem);
    return check;
}

using Kind = Problem::Kind;

}  // namespace

SplitCheck checkSplitRequest(const SplitRequest& request) {
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
    const SplitModeRow& way = splitModeRow(request.mode);
    // Titles come from the chapters: only the ways that find them have any.
    plan.titleNames = request.titleNames && way.cutsAtChapters;
    plan.pad = request.pad || plan.titleNames;
    plan.toUtf8 = request.toUtf8;
    switch (way.number) {
        case SplitNumber::Kilobytes: {
            const std::optional<std::uint64_t> limit = limitFromSizeText(request.numberText);
            if (!limit) return refuse(Problem::of(Kind::BadSize));
            plan.byteLimit = *limit;
            plan.perPartFigure = request.numberText;
            if (!way.atMost) break;
            const std::uint64_t smallest = MaxSizeRule::smallestCap(
                request.toUtf8 ? SourceFormat{Encoding::Utf8, true} : formatOf(request.sourcePath));
            if (*limit < smallest) return refuse(Problem::capTooSmall(smallest));
            break;
        }
        case SplitNumber::Parts: {
            SourceFile source;
            const std::uint64_t size = source.open(request.sourcePath) ? source.size() : 0;
            const std::optional<std::uint64_t> limit = limitFromCountText(request.numberText, size);
            if (!limit) return refuse(Problem::of(Kind::BadCount));
            plan.byteLimit = *limit;
            plan.perPartFigure = std::to_string(limitInKilobytes(*limit));
            break;
        }
        case SplitNumber::Chapters: {
            const std::optional<std::uint64_t> chapters = wholeNumberFromText(request.numberText);
            if (!chapters || *chapters == 0) return refuse(Problem::of(Kind::BadChapters));
            plan.chaptersPerPart = *chapters;
            plan.perPartFigure = std::to_string(*chapters);
            break;
        }
    }
    SplitCheck check;
    check.plan = std::move(plan);
    return check;
}

std::uint64_t estimatePartCount(const SplitPlan& plan) {
    SourceFile source;
    if (!source.open(plan.sourcePath) || source.size() == 0) return 0;
    if (splitModeRow(plan.mode).cutsAtChapters) {
        const ChapterMap* chapters = plan.chapters.get();
        if (chapters == nullptr || !chapters->describes(source.identity(), source.stampAtOpen())) {
            return 0;
        }
        if (plan.mode == SplitMode::ByChapters)
            return partsOfChapters(*chapters, plan.chaptersPerPart);
        return chapters->measured ? partsOfSizeAtChapters(*chapters, plan.byteLimit) : 0;
    }
    const std::uint64_t size = source.size();
    if (plan.byteLimit > 0) return size / plan.byteLimit + (size % plan.byteLimit != 0 ? 1 : 0);
    const std::optional<SourceFormat> format = source.readFormat();
    std::string sample(static_cast<std::size_t>(std::min<std::uint64_t>(size, 64 * 1024)), '\0');
    const std::int64_t got = source.readAt(0, sample.data(), sample.size());
    if (!format || got <= 0) return 0;
    sample.resize(static_cast<std::size_t>(got));
    const CrlfScan scan(format->codec());
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

SplitOutcome executeSplit(const SplitPlan& plan, const ProgressCallback& progress,
                          const std::atomic<bool>* stopRequested, RunOptions options) {
    LineSplitter::Options reading;
    reading.bufferSize = options.pieceSize;
    SplitOutcome outcome = LineSplitter(plan, progress, stopRequested, reading).run();
    outcome.status = texts::statusAfter(outcome, plan);
    if (outcome.problem) outcome.message = texts::describe(outcome.problem);
    return outcome;
}

}  // namespace tovane
