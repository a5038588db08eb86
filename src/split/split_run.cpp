#include "split/split_run.h"

#include "split/text/chapter_heading.h"
#include "split/text/crlf_scan.h"
#include "split/io/file_system.h"
#include "split/line_splitter.h"
#include "split/part_limit.h"
#include "split/parts/part_names.h"
#include "split/io/source_file.h"
#include "split/split_texts.h"

namespace tovane {

SplitCheck checkSplitRequest(const SplitRequest& request) {
    SplitCheck check;
    if (!files::isRegularFile(request.sourcePath)) {
        check.message = texts::kSourceMissing;
        return check;
    }
    if (!files::isDirectory(request.saveFolder)) {
        check.message = texts::kSaveFolderMissing;
        return check;
    }
    if (!isPlainFileName(request.baseName)) {
        check.message = texts::baseNameNotPlain(request.baseName);
        return check;
    }
    SplitPlan plan;
    plan.sourcePath = request.sourcePath;
    plan.saveFolder = request.saveFolder;
    plan.baseName = request.baseName;
    if (request.mode == SplitMode::BySize) {
        const std::optional<std::uint64_t> limit = limitFromSizeText(request.sizeText);
        if (!limit) {
            check.message = texts::kBadSize;
            return check;
        }
        plan.byteLimit = *limit;
        plan.perPartFigure = request.sizeText;
        if (request.atChapters) plan.rule = PartRule::BySizeAtChapters;
    } else if (request.mode == SplitMode::ByChapters) {
        const std::optional<std::uint64_t> chapters = wholeNumberFromText(request.chaptersText);
        if (!chapters || *chapters == 0) {
            check.message = texts::kBadChapters;
            return check;
        }
        plan.rule = PartRule::ByChapters;
        plan.chaptersPerPart = *chapters;
        plan.perPartFigure = std::to_string(*chapters);
        plan.perPartUnit = "章";
    } else {
        SourceFile source;
        const std::uint64_t size = source.open(request.sourcePath) ? source.size() : 0;
        const std::optional<std::uint64_t> limit = limitFromCountText(request.countText, size);
        if (!limit) {
            check.message = texts::kBadCount;
            return check;
        }
        plan.byteLimit = *limit;
        plan.perPartFigure = std::to_string(limitInKilobytes(*limit));
    }
    plan.headingPattern = request.headingPattern;
    if (plan.rule != PartRule::BySize &&
        !ChapterHeading::problemWith(plan.headingPattern).empty()) {
        check.message = texts::badHeadingRule(ChapterHeading::problemWith(plan.headingPattern));
        return check;
    }
    check.plan = std::move(plan);
    return check;
}

std::uint64_t estimatePartCount(const SplitPlan& plan) {
    SourceFile source;
    if (!source.open(plan.sourcePath) || source.size() == 0) return 0;
    const std::uint64_t size = source.size();
    if (plan.byteLimit > 0) return size / plan.byteLimit + (size % plan.byteLimit != 0 ? 1 : 0);
    std::string sample;
    if (!source.readEncodingSample(sample) || sample.empty()) return 0;
    const CrlfScan scan(detectEncoding(sample, size));
    std::uint64_t lines = 0;
    for (std::size_t at = 0; at < sample.size();) {
        const std::size_t end = scan.findTerminator(sample.data(), at, sample.size());
        ++lines;
        if (end == CrlfScan::kNotFound) break;
        at = end + scan.terminatorAt(sample.data(), end, sample.size(), true);
    }
    // Scaled from the sample to the whole file (lines never outnumber the
    // sample's bytes, so neither product can overflow).
    const std::uint64_t sampled = sample.size();
    return size / sampled * lines + (size % sampled * lines + sampled - 1) / sampled;
}

SplitOutcome executeSplit(const SplitPlan& plan, const ProgressCallback& progress,
                          const std::atomic<bool>* stopRequested) {
    SplitOutcome outcome = LineSplitter(plan, progress, stopRequested).run();
    outcome.status = texts::statusAfter(outcome, plan);
    return outcome;
}

}  // namespace tovane
