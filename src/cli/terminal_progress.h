// Reports a run on the terminal: messages on stderr, the summary on stdout,
// and while it runs a progress line on stderr when that is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "split_run.h"

namespace tovane::cli {

class TerminalProgress : public SplitObserver {
public:
    // Whether stderr and stdout are terminals: control characters in file
    // names are shown escaped there, and only there is progress drawn.
    TerminalProgress(bool stderrIsTerminal, bool stdoutIsTerminal);

    void showMessage(std::string_view text) override;
    void setStatus(std::string_view text) override;
    void setBusy(bool busy) override;
    void progress(std::uint64_t done, std::uint64_t total) override;

private:
    void clearLine();
    void printStatus();

    bool stderrIsTerminal_;
    bool stdoutIsTerminal_;
    bool busy_ = false;
    bool lineShown_ = false;
    std::string lastStatus_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

// `text` with control characters shown as \xNN, so that a file name can't
// move the cursor or change the colours of the terminal it is shown on.
std::string escapeControls(std::string_view text);

}  // namespace tovane::cli
