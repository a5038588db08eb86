// tovane-split: the split run from a terminal, for scripts and benchmarks.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/terminal_progress.h"
#include "split/split_run.h"
#include "split/split_texts.h"

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<int> stopStatus{130};

int split(const tovane::SplitRequest& request, const tovane::cli::console::Streams& streams) {
    // Ctrl+C, a closed terminal or a polite kill stops the split between two
    // lines, so that the part being written is removed, not left half-written.
    tovane::cli::console::stopOnRequest(stopRequested, stopStatus);
    tovane::cli::TerminalProgress terminal(streams.stderrIsTerminal, streams.stdoutIsTerminal);
    const tovane::SplitCheck check = tovane::checkSplitRequest(request);
    if (!check.plan) {
        terminal.showMessage(check.message);
        return check.usage ? 2 : 1;
    }
    terminal.begin(tovane::texts::progress(check.plan->baseName));
    const tovane::SplitOutcome outcome = tovane::executeSplit(
        *check.plan,
        [&terminal](const tovane::SplitProgress& now) { terminal.progress(now.done, now.total); },
        &stopRequested);
    tovane::cli::console::stopped();
    // A failure is told before the status it leads to; parts left from
    // before are named after the summary.
    using Result = tovane::SplitOutcome::Result;
    const bool done = outcome.result == Result::Done;
    if (!done && !outcome.message.empty()) terminal.showMessage(outcome.message);
    if (!outcome.status.empty()) terminal.showStatus(outcome.status);
    if (done && !outcome.message.empty()) terminal.showMessage(outcome.message);
    errno = 0;
    if (!streams.stdoutOpen || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        terminal.showMessage(tovane::texts::cannotShowResult(streams.stdoutOpen ? errno : EBADF));
        return 1;
    }
    if (outcome.result == Result::Stopped) return stopStatus;
    return outcome.result == Result::Done || outcome.result == Result::Empty ? 0 : 1;
}

int written(const tovane::cli::console::Streams& streams) {
    return std::fflush(stdout) == 0 && streams.stdoutOpen ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const tovane::cli::console::Streams streams = tovane::cli::console::prepare();
    try {
        using tovane::cli::CommandLine;
        const CommandLine line =
            tovane::cli::parseCommandLine(tovane::cli::console::arguments(argc, argv));
        switch (line.action) {
            case CommandLine::Action::Help:
                std::fputs(tovane::cli::usageText().c_str(), stdout);
                return written(streams);
            case CommandLine::Action::Version:
                std::printf("tovane-split %s\n", TOVANE_VERSION);
                return written(streams);
            case CommandLine::Action::UsageError:
                std::fprintf(stderr, "tovane-split: %s\n\n%s", line.error.c_str(),
                             tovane::cli::usageText().c_str());
                return 2;
            case CommandLine::Action::Split:
                break;
        }
        return split(line.request, streams);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tovane-split: %s\n", tovane::texts::kOutOfMemory.data());
        return 1;
    }
}
