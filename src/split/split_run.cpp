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

// The source's encoding, from its first bytes; GBK when they can't be read.
TextEncoding encodingOf(const std::string& path) {
    SourceFile source;
    if (!source.open(path)) return TextEncoding::Gbk;
    return source.readEncoding().value_or(TextEncoding::Gbk);
}

SplitCheck refuse(std::string message, bool usage = false) {
    SplitCheck check;
    check.message = std::move(message);
    check.usage = usage;
    return check;
}

}  // namespace

SplitCheck checkSplitRequest(const SplitRequest& request) {
    if (!files::isRegularFile(request.sourcePath))
        return refuse(std::string(texts::kSourceMissing));
    if (!files::isDirectory(request.saveFolder)) {
        return refuse(std::string(texts::kSaveFolderMissing));
    }
    if (!isPlainFileName(request.baseName)) {
        return refuse(texts::baseNameNotPlain(request.baseName), true);
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
            if (!limit) return refuse(std::string(texts::kBadSize));
            plan.byteLimit = *limit;
            plan.perPartFigure = request.numberText;
            if (!way.atMost) break;
            const std::uint64_t smallest = MaxSizeRule::smallestCap(
                request.toUtf8 ? TextEncoding::Utf8Bom : encodingOf(request.sourcePath));
            if (*limit < smallest) return refuse(texts::capTooSmall(smallest), true);
            break;
        }
        case SplitNumber::Parts: {
            SourceFile source;
            const std::uint64_t size = source.open(request.sourcePath) ? source.size() : 0;
            const std::optional<std::uint64_t> limit = limitFromCountText(request.numberText, size);
            if (!limit) return refuse(std::string(texts::kBadCount));
            plan.byteLimit = *limit;
            plan.perPartFigure = std::to_string(limitInKilobytes(*limit));
            break;
        }
        case SplitNumber::Chapters: {
            const std::optional<std::uint64_t> chapters = wholeNumberFromText(request.numberText);
            if (!chapters || *chapters == 0) return refuse(std::string(texts::kBadChapters));
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
    const std::optional<TextEncoding> encoding = source.readEncoding();
    std::string sample(static_cast<std::size_t>(std::min<std::uint64_t>(size, 64 * 1024)), '\0');
    const std::int64_t got = source.readAt(0, sample.data(), sample.size());
    if (!encoding || got <= 0) return 0;
    sample.resize(static_cast<std::size_t>(got));
    const CrlfScan scan(*encoding);
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
                          const std::atomic<bool>* stopRequested) {
    SplitOutcome outcome = LineSplitter(plan, progress, stopRequested).run();
    outcome.status = texts::statusAfter(outcome, plan);
    return outcome;
}

}  // namespace tovane
