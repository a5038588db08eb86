// <windows.h> first: the other Win32 headers build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/console.h"
#include "split/io/windows_paths.h"
#include "split/parts/part_in_progress.h"

namespace tovane::cli::console {

namespace {

namespace PartInProgress = tovane::PartInProgress;

std::atomic<bool>* stopFlag = nullptr;
std::atomic<int>* stopStatus = nullptr;
std::atomic<bool> runEnded{false};
std::atomic<bool> hurried{false};

// The exit statuses a POSIX shell would see for the same requests.
constexpr int kInterrupted = 130;  // Ctrl+C, as SIGINT
constexpr int kQuit = 131;         // Ctrl+Break, as SIGQUIT
constexpr int kHungUp = 129;       // the console closed, as SIGHUP
constexpr int kTerminated = 143;   // logoff or shutdown, as SIGTERM

BOOL WINAPI requestStop(DWORD event) {
    // A second request ends the program at once, removing the part being
    // written; complete parts still waiting for their names are named by the
    // stopping run first, so only a third ends it whatever is left.
    if (stopFlag->load() && (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)) {
        if (PartInProgress::finishedWaiting() && !hurried.exchange(true)) return TRUE;
        if (const char* part = PartInProgress::path()) {
            ::DeleteFileW(windows::systemPath(part).c_str());
        }
        ::ExitProcess(static_cast<UINT>(stopStatus->load()));
    }
    int status = kInterrupted;
    switch (event) {
        case CTRL_C_EVENT:
            break;
        case CTRL_BREAK_EVENT:
            status = kQuit;
            break;
        case CTRL_CLOSE_EVENT:
            status = kHungUp;
            break;
        default:
            status = kTerminated;
            break;
    }
    stopStatus->store(status);
    stopFlag->store(true);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // The system ends the program as soon as this returns, and within a few
    // seconds in any case: hold it until the part being written is removed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(4500);
    while (!runEnded && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return TRUE;
}

bool isConsole(DWORD which) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

}  // namespace

Streams prepare() {
    Streams streams;
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    streams.stdoutOpen = out != nullptr && out != INVALID_HANDLE_VALUE;
    streams.stdoutIsTerminal = isConsole(STD_OUTPUT_HANDLE);
    streams.stderrIsTerminal = isConsole(STD_ERROR_HANDLE);
    // Chinese texts reach the console as UTF-8; redirected, they stay UTF-8 bytes.
    ::SetConsoleOutputCP(CP_UTF8);
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        DWORD mode = 0;
        const HANDLE handle = ::GetStdHandle(which);
        if (::GetConsoleMode(handle, &mode)) {
            // The progress line redraws itself with escape sequences.
            ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        }
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return streams;
}

std::vector<std::string> arguments(int /*argc*/, char** /*argv*/) {
    // The system's own UTF-16 arguments, so that Chinese names arrive whole
    // whatever the ANSI code page.
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i) result.push_back(windows::narrow(wide[i]));
    ::LocalFree(wide);
    return result;
}

void stopOnRequest(std::atomic<bool>& stopRequested, std::atomic<int>& exitStatus) {
    stopFlag = &stopRequested;
    stopStatus = &exitStatus;
    ::SetConsoleCtrlHandler(requestStop, TRUE);
}

void stopped() {
    runEnded = true;
}

}  // namespace tovane::cli::console
