// What tovane-split needs of the console it runs in, POSIX or Win32: its
// arguments as UTF-8, standard streams that are open, whether they are
// terminals, and the requests to stop (signals, Ctrl+C, a closed console).
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace tovane::cli::console {

struct Streams {
    bool stdoutOpen = true;  // false: stdout was closed when we started
    bool stdoutIsTerminal = false;
    bool stderrIsTerminal = false;
};

// Sets the standard streams up before anything else is opened: a closed one
// gets a stand-in so no file can take its place, and a console takes UTF-8.
Streams prepare();

// The program's arguments, after its name, as UTF-8.
std::vector<std::string> arguments(int argc, char** argv);

// From now on a request to stop sets `stopRequested` and its exit status
// (128 + the signal's number) in `exitStatus`; the split then ends between
// two lines. Requests that were ignored when the program started stay ignored.
// `exitStatus` starts as kNoStatus.
inline constexpr int kNoStatus = 0;
void stopOnRequest(std::atomic<bool>& stopRequested, std::atomic<int>& exitStatus);

// The run has ended and its files are in order: a console that is being
// closed may now end the program.
void stopped();

}  // namespace tovane::cli::console
