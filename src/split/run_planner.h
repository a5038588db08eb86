// The decisions before a run, in the order the front ends take them: the
// checks of a request, which change nothing; then, when the run starts, its
// plan: the source opened and its format told once, the chapters found (or
// the window's taken), the parts counted once where their names need it.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "split/problem.h"
#include "split/run_plan.h"
#include "split/split_types.h"

namespace tovane {

// The checks that come before anything changes: the source is a file, the
// save folder a folder, the base name a plain file name, and the way's
// number one it can take. The plan keeps the source open for the run.
struct CheckedRequest {
    std::optional<SplitPlan> plan;
    Problem problem;
};
CheckedRequest checkRequest(const SplitRequest& request);

// The plan of a run, or how the run ends before its first line: a source
// that can't be read (Failed), holds nothing (Empty) or has no chapter to cut
// at (CheckFailed), or a stop while its chapters or parts were counted.
struct PlannedRun {
    std::optional<RunPlan> plan;
    SplitOutcome::Result result = SplitOutcome::Result::Failed;
    Problem problem;
};
PlannedRun planRun(const SplitPlan& checked, const RunOptions& options,
                   const std::atomic<bool>* stopRequested);

// How many parts the plan will make, for a warning before a run that would
// flood a folder. About: the source's size over the byte limit, or with a
// limit of 0 (a part a line) its lines, counted in its first 64 KiB. Exactly
// in the ways that cut at chapters, from the plan's chapters when they are
// of the file as it is now. 0 when the source can't be read or the chapters
// aren't known.
std::uint64_t forecastParts(const SplitPlan& checked);

}  // namespace tovane
