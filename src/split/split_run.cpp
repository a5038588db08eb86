#include "split/split_run.h"

#include "split/file_system.h"
#include "split/line_splitter.h"
#include "split/part_limit.h"
#include "split/part_names.h"
#include "split/source_file.h"
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
    check.plan = std::move(plan);
    return check;
}

SplitOutcome executeSplit(const SplitPlan& plan, const ProgressCallback& progress,
                          const std::atomic<bool>* stopRequested) {
    SplitOutcome outcome = LineSplitter(plan, progress, stopRequested).run();
    outcome.status = texts::statusAfter(outcome, plan);
    return outcome;
}

}  // namespace tovane
