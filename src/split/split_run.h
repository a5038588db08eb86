// The engine's face: one split run from the user's inputs, in the two steps
// both front ends take: the checks and the numbers, which come before
// anything changes, then the run (planned once, then streamed), which leaves
// its status text behind. The words a user reads of a check or a run are
// made here, from what the engine reports, and nowhere below. The window
// checks on its own thread and splits on a worker; the command line does
// both in turn.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "split/split_types.h"

namespace tovane {

struct SplitCheck {
    std::optional<SplitPlan> plan;  // set when the run may go ahead
    Problem problem;                // otherwise, why not
    std::string message;            // and its words, for the user
    bool usage = false;             // the request itself can't be carried out as asked
};

// The checks that come before anything changes: the source is a file, the
// save folder a folder, the base name a plain file name, and the way's
// number one that it can take (a cap holds at least one character of the
// source and its line end). The plan keeps the source open for the run.
SplitCheck checkSplitRequest(const SplitRequest& request);

// How many parts the plan will make, for a warning before a run that would
// flood a folder and for the window's status line. About: the source's size
// over the byte limit, or with a limit of 0 (a part a line) its lines,
// counted in its first 64 KiB. Exactly in the ways that cut at chapters,
// from the plan's chapters when they are of the file as it is now. 0 when the
// source can't be read or the chapters aren't known.
std::uint64_t estimatePartCount(const SplitPlan& plan);

// The split itself. `stopRequested`, when set, ends the run between two lines,
// removing the part it was writing.
SplitOutcome executeSplit(const SplitPlan& plan, const ProgressCallback& progress = {},
                          const std::atomic<bool>* stopRequested = nullptr,
                          RunOptions options = {});

}  // namespace tovane
