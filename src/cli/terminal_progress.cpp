#include "cli/terminal_progress.h"

#include <cstdio>

namespace tovane::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(250);

}  // namespace

std::string escapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

TerminalProgress::TerminalProgress(bool stderrIsTerminal, bool stdoutIsTerminal)
    : stderrIsTerminal_(stderrIsTerminal), stdoutIsTerminal_(stdoutIsTerminal) {}

void TerminalProgress::clearLine() {
    if (!lineShown_) return;
    std::fputs("\r\033[K", stderr);
    lineShown_ = false;
}

void TerminalProgress::showMessage(std::string_view text) {
    clearLine();
    const std::string shown = stderrIsTerminal_ ? escapeControls(text) : std::string(text);
    std::fprintf(stderr, "tovane-split: %s\n", shown.c_str());
}

void TerminalProgress::begin(std::string_view progressText) {
    progressText_ = progressText;
    started_ = lastDrawn_ = std::chrono::steady_clock::now();
}

void TerminalProgress::showStatus(std::string_view text) {
    clearLine();
    const std::string shown = stdoutIsTerminal_ ? escapeControls(text) : std::string(text);
    std::printf("%s\n", shown.c_str());
    std::fflush(stdout);  // before what comes after it on stderr
}

void TerminalProgress::showListed(std::initializer_list<std::string_view> fields) {
    clearLine();
    std::string row;
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) row += '\t';
        first = false;
        row += stdoutIsTerminal_ ? escapeControls(field) : std::string(field);
    }
    std::printf("%s\n", row.c_str());
}

void TerminalProgress::progress(std::uint64_t done, std::uint64_t total) {
    if (!stderrIsTerminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double percent =
        total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 100.0;
    const double megabytesPerSecond =
        seconds > 0 ? static_cast<double>(done) / (1024.0 * 1024.0) / seconds : 0.0;
    std::fprintf(stderr, "\r\033[K%s %5.1f%%  %.0f MB/s", escapeControls(progressText_).c_str(),
                 percent, megabytesPerSecond);
    std::fflush(stderr);
    lineShown_ = true;
}

}  // namespace tovane::cli
