#include "split/parts/part_in_progress.h"

#include <atomic>
#include <cstring>

namespace tovane::PartInProgress {

namespace {

constexpr std::size_t kMaxPath = 4096;
// Two buffers: set() fills the one not shown, then shows it.
char buffers[2][kMaxPath];
std::atomic<int> shown{-1};
std::atomic<bool> waitingForNames{false};

}  // namespace

void set(const std::string& path) {
    if (path.size() >= kMaxPath) return clear();
    const int next = shown.load() == 0 ? 1 : 0;
    std::memcpy(buffers[next], path.c_str(), path.size() + 1);
    shown.store(next);
}

void clear() {
    shown.store(-1);
}

void setFinishedWaiting(bool waiting) {
    waitingForNames.store(waiting);
}

bool finishedWaiting() {
    return waitingForNames.load();
}

const char* path() {
    const int which = shown.load();
    return which < 0 ? nullptr : buffers[which];
}

}  // namespace tovane::PartInProgress
