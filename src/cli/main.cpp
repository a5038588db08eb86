// tovane-split: the split run from a terminal, for scripts and benchmarks.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "split_run.h"
#include "terminal_progress.h"

namespace {

// Ctrl+C or a polite kill stops the split between two lines, so that the part
// being written is removed rather than left half-written.
std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) { stopRequested = true; }

}  // namespace

int main(int argc, char** argv) {
    using tovane::cli::CommandLine;
    const CommandLine line =
        tovane::cli::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(tovane::cli::usageText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("tovane-split %s\n", TOVANE_VERSION);
            return 0;
        case CommandLine::Action::UsageError:
            std::fprintf(stderr, "tovane-split: %s\n\n%s", line.error.c_str(),
                         tovane::cli::usageText().c_str());
            return 2;
        case CommandLine::Action::Split:
            break;
    }
    // A file-size limit must show up as a write error we report, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    tovane::cli::TerminalProgress observer(::isatty(STDERR_FILENO) == 1);
    const tovane::SplitOutcome outcome = tovane::runSplit(line.request, observer, &stopRequested);
    using Result = tovane::SplitOutcome::Result;
    if (outcome.result == Result::Stopped) return 130;
    return outcome.result == Result::Done || outcome.result == Result::Empty ? 0 : 1;
}
