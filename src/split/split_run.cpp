#include "split_run.h"

#include "file_system.h"
#include "line_splitter.h"
#include "part_limit.h"
#include "part_names.h"
#include "source_file.h"
#include "split_texts.h"

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

SplitOutcome runSplit(const SplitRequest& request, SplitObserver& observer,
                      const std::atomic<bool>* stopRequested) {
    const SplitCheck check = checkSplitRequest(request);
    if (!check.plan) {
        observer.showMessage(check.message);
        SplitOutcome outcome;
        outcome.result = SplitOutcome::Result::CheckFailed;
        outcome.message = check.message;
        return outcome;
    }
    observer.setBusy(true);
    observer.setStatus(texts::progress(check.plan->baseName));
    SplitOutcome outcome = executeSplit(
        *check.plan,
        [&observer](std::uint64_t done, std::uint64_t total) { observer.progress(done, total); },
        stopRequested);
    if (!outcome.status.empty()) observer.setStatus(outcome.status);
    if (!outcome.message.empty()) observer.showMessage(outcome.message);
    observer.setBusy(false);
    return outcome;
}

}  // namespace tovane
