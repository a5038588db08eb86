#include "split/split_run.h"

#include "split/run_execution.h"
#include "split/run_planner.h"
#include "split/split_texts.h"

namespace tovane {

SplitCheck checkSplitRequest(const SplitRequest& request) {
    CheckedRequest checked = checkRequest(request);
    SplitCheck check;
    check.plan = std::move(checked.plan);
    check.message = texts::describe(checked.problem);
    check.usage = checked.problem.usage();
    check.problem = std::move(checked.problem);
    return check;
}

std::uint64_t estimatePartCount(const SplitPlan& plan) {
    return forecastParts(plan);
}

SplitOutcome executeSplit(const SplitPlan& plan, const ProgressCallback& progress,
                          const std::atomic<bool>* stopRequested, RunOptions options) {
    const PlannedRun planned = planRun(plan, options, stopRequested);
    SplitOutcome outcome;
    if (planned.plan) {
        outcome = executePlan(*planned.plan, progress, stopRequested);
    } else {
        outcome.result = planned.result;
        outcome.problem = planned.problem;
    }
    outcome.status = texts::statusAfter(outcome, plan);
    if (outcome.problem) outcome.message = texts::describe(outcome.problem);
    return outcome;
}

}  // namespace tovane
