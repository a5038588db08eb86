// tovane-split: the split run from a terminal, for scripts and benchmarks.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "split_run.h"
#include "split_texts.h"
#include "terminal_progress.h"

namespace {

// Ctrl+C, a closed terminal or a polite kill stops the split between two
// lines, so that the part being written is removed rather than left half-written.
std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};

extern "C" void requestStop(int signal) {
    stopSignal = signal;
    stopRequested = true;
}

void stopOn(int signal) {
    struct sigaction current {};
    // Ignored when we were started (nohup, a background job of a script): it stays so.
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

// A standard stream that was closed when we started gets /dev/null, so that
// no part file can take its number; whether it was open is kept.
bool keepOpen(int fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return true;
    const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
    }
    return false;
}

int split(const tovane::SplitRequest& request, bool stdoutOpen) {
    // A file-size limit must show up as a write error we report, not kill us;
    // a closed pipe must show up as an error writing the summary.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) stopOn(signal);

    tovane::cli::TerminalProgress observer(::isatty(STDERR_FILENO) == 1,
                                           ::isatty(STDOUT_FILENO) == 1);
    const tovane::SplitOutcome outcome = tovane::runSplit(request, observer, &stopRequested);
    errno = 0;
    if (!stdoutOpen || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = stdoutOpen ? errno : EBADF;
        observer.showMessage("无法输出分割结果：" +
                             (error != 0 ? tovane::texts::systemReason(error) : std::string("输出错误")));
        return 1;
    }
    using Result = tovane::SplitOutcome::Result;
    if (outcome.result == Result::Stopped) return 128 + (stopSignal != 0 ? stopSignal.load() : SIGINT);
    return outcome.result == Result::Done || outcome.result == Result::Empty ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    keepOpen(STDIN_FILENO);
    const bool stdoutOpen = keepOpen(STDOUT_FILENO);
    keepOpen(STDERR_FILENO);
    try {
        using tovane::cli::CommandLine;
        const CommandLine line =
            tovane::cli::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        switch (line.action) {
            case CommandLine::Action::Help:
                std::fputs(tovane::cli::usageText().c_str(), stdout);
                return std::fflush(stdout) == 0 && stdoutOpen ? 0 : 1;
            case CommandLine::Action::Version:
                std::printf("tovane-split %s\n", TOVANE_VERSION);
                return std::fflush(stdout) == 0 && stdoutOpen ? 0 : 1;
            case CommandLine::Action::UsageError:
                std::fprintf(stderr, "tovane-split: %s\n\n%s", line.error.c_str(),
                             tovane::cli::usageText().c_str());
                return 2;
            case CommandLine::Action::Split:
                break;
        }
        return split(line.request, stdoutOpen);
    } catch (const std::bad_alloc&) {
        std::fputs("tovane-split: 内存不足，无法分割。\n", stderr);
        return 1;
    }
}
