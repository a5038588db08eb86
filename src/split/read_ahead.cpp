#include "read_ahead.h"

namespace tovane {

ReadAhead::~ReadAhead() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::start(std::uint64_t offset, char* into, std::size_t size) {
    cancel();
    {
        std::lock_guard lock(mutex_);
        offset_ = offset;
        into_ = into;
        size_ = size;
        requested_ = true;
        done_ = false;
    }
    pending_ = true;
    if (!thread_.joinable()) {
        thread_ = std::thread(&ReadAhead::serve, this);
    } else {
        changed_.notify_all();
    }
}

std::int64_t ReadAhead::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_; });
    pending_ = false;
    done_ = false;
    return got_;
}

void ReadAhead::cancel() {
    if (pending_) wait();
}

void ReadAhead::serve() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return requested_ || quit_; });
        if (quit_) return;
        requested_ = false;
        const std::uint64_t offset = offset_;
        char* into = into_;
        const std::size_t size = size_;
        lock.unlock();
        const std::int64_t got = source_.readAt(offset, into, size);
        lock.lock();
        got_ = got;
        done_ = true;
        changed_.notify_all();
    }
}

}  // namespace tovane
