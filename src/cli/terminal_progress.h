// Reports a run on the terminal: messages on stderr, the summary on stdout,
// and while it runs a progress line on stderr when that is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tovane::cli {

class TerminalProgress {
public:
    // Whether stderr and stdout are terminals: control characters in file
    // names are shown escaped there, and only there is progress drawn.
    TerminalProgress(bool stderrIsTerminal, bool stdoutIsTerminal);

    // A message on stderr.
    void showMessage(std::string_view text);
    // The run has begun; its progress text leads the progress line.
    void begin(std::string_view progressText);
    void progress(std::uint64_t done, std::uint64_t total);  // bytes of the source
    // The status after the run, the summary when it is done, on stdout.
    void showStatus(std::string_view text);
    // A row of a list on stdout, its fields apart by tabs; on a terminal
    // control characters inside a field are shown escaped, the tabs are not.
    void showListed(std::initializer_list<std::string_view> fields);

private:
    void clearLine();

    bool stderrIsTerminal_;
    bool stdoutIsTerminal_;
    bool lineShown_ = false;
    std::string progressText_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

// `text` with control characters shown as \xNN, so that a file name can't
// move the cursor or change the colours of the terminal it is shown on.
std::string escapeControls(std::string_view text);

}  // namespace tovane::cli
