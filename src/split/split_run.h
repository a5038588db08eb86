// One split run from the user's six inputs: the checks, the byte limit, the
// streaming split and the texts it leaves behind. The window runs the check on
// its own thread and the split on a worker; the command line runs it all at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "split_types.h"

namespace tovane {

// Where a run reports: message boxes, the status line, and the Start button.
class SplitObserver {
public:
    virtual ~SplitObserver() = default;
    virtual void showMessage(std::string_view text) = 0;
    virtual void setStatus(std::string_view text) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void progress(std::uint64_t /*done*/, std::uint64_t /*total*/) {}
};

struct SplitCheck {
    std::optional<SplitPlan> plan;  // set when the run may go ahead
    std::string message;            // otherwise, what to tell the user
};

// The checks that come before anything changes: the source, the save folder,
// then the number of the chosen mode.
SplitCheck checkSplitRequest(const SplitRequest& request);

// The split itself. `stopRequested`, when set, ends the run between two lines,
// removing the part it was writing.
SplitOutcome executeSplit(const SplitPlan& plan, const ProgressCallback& progress = {},
                          const std::atomic<bool>* stopRequested = nullptr);

// Checks, then splits, reporting every step to `observer`.
SplitOutcome runSplit(const SplitRequest& request, SplitObserver& observer,
                      const std::atomic<bool>* stopRequested = nullptr);

}  // namespace tovane
