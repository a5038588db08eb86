// A plan carried out: its lines, its output stage, its part files and its
// way's rule put together for the splitter's loop, and the run ended: every
// complete part named, the one being written removed when the run didn't
// finish, and what an earlier run left named to the user.
#pragma once

#include <atomic>

#include "split/run_plan.h"
#include "split/split_types.h"

namespace tovane {

// The outcome carries no words: those are the caller's to make. `countOnly`:
// no file is made; the parts are counted.
SplitOutcome executePlan(const RunPlan& plan, const ProgressCallback& progress,
                         const std::atomic<bool>* stopRequested, bool countOnly = false);

}  // namespace tovane
