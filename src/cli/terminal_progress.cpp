#include "terminal_progress.h"

#include <cstdio>

namespace tovane::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(250);

}  // namespace

TerminalProgress::TerminalProgress(bool interactive) : interactive_(interactive) {}

void TerminalProgress::clearLine() {
    if (!lineShown_) return;
    std::fputs("\r\033[K", stderr);
    lineShown_ = false;
}

void TerminalProgress::showMessage(std::string_view text) {
    clearLine();
    std::fprintf(stderr, "tovane-split: %.*s\n", static_cast<int>(text.size()), text.data());
}

void TerminalProgress::setStatus(std::string_view text) {
    lastStatus_ = text;
    if (busy_) return;  // the progress text; the progress line stands in for it
    clearLine();
    std::printf("%s\n", lastStatus_.c_str());
    std::fflush(stdout);
}

void TerminalProgress::setBusy(bool busy) {
    if (busy && !busy_) started_ = lastDrawn_ = std::chrono::steady_clock::now();
    if (!busy && busy_) {
        clearLine();
        busy_ = false;
        // The status set while busy was the last word of the run.
        std::printf("%s\n", lastStatus_.c_str());
        std::fflush(stdout);
        return;
    }
    busy_ = busy;
}

void TerminalProgress::progress(std::uint64_t done, std::uint64_t total) {
    if (!interactive_ || !busy_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double percent =
        total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 100.0;
    const double megabytesPerSecond =
        seconds > 0 ? static_cast<double>(done) / (1024.0 * 1024.0) / seconds : 0.0;
    std::fprintf(stderr, "\r\033[K%s %5.1f%%  %.0f MB/s", lastStatus_.c_str(), percent,
                 megabytesPerSecond);
    std::fflush(stderr);
    lineShown_ = true;
}

}  // namespace tovane::cli
