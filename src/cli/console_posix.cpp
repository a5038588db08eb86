#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "cli/console.h"
#include "split/parts/part_in_progress.h"

namespace tovane::cli::console {

namespace {

namespace PartInProgress = tovane::PartInProgress;

std::atomic<bool>* stopFlag = nullptr;
std::atomic<int>* stopStatus = nullptr;

volatile std::sig_atomic_t hurried = 0;

// The first request stops the split between two lines; a second ends the
// program at once, removing the part being written. Complete parts that
// still wait for their names are named by the stopping run first: a second
// request then only makes its status the program's, and a third ends it at
// once whatever is left.
//
// Two signals may land on two threads at once, each in its handler: one
// alone is the first, and a later request's status is never written over
// by the first's.
extern "C" void requestStop(int signal) {
    if (!stopFlag->exchange(true)) {
        int unset = kNoStatus;
        stopStatus->compare_exchange_strong(unset, 128 + signal);
        return;
    }
    stopStatus->store(128 + signal);
    if (PartInProgress::finishedWaiting() && hurried == 0) {
        hurried = 1;
        return;
    }
    if (const char* part = PartInProgress::path()) ::unlink(part);
    ::_exit(128 + signal);
}

// A standard stream that was closed gets /dev/null, so that no part file can
// take its number; false when it was closed.
bool keepOpen(int fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return true;
    const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
    }
    return false;
}

}  // namespace

Streams prepare() {
    Streams streams;
    keepOpen(STDIN_FILENO);
    streams.stdoutOpen = keepOpen(STDOUT_FILENO);
    keepOpen(STDERR_FILENO);
    streams.stdoutIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    streams.stderrIsTerminal = ::isatty(STDERR_FILENO) == 1;
    // A file-size limit must show up as a write error we report, not kill us;
    // a closed pipe must show up as an error writing the summary.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    return streams;
}

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void stopOnRequest(std::atomic<bool>& stopRequested, std::atomic<int>& exitStatus) {
    stopFlag = &stopRequested;
    stopStatus = &exitStatus;
    // Ctrl+C, a closed terminal, Ctrl+\ or a polite kill.
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction current {};
        // Ignored when we were started (nohup, a background job of a script): it stays so.
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = requestStop;
        // One request at a time, so that a second one is always seen as second.
        sigemptyset(&action.sa_mask);
        for (int other : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

void stopped() {}

}  // namespace tovane::cli::console
