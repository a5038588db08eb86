#include "split/io/background_task.h"

#include <system_error>

namespace tovane {

BackgroundTask::~BackgroundTask() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();  // a run in progress finishes first
}

void BackgroundTask::start() {
    wait();
    if (!thread_.joinable() && !inPlace_) {
        try {
            thread_ = std::thread(&BackgroundTask::serve, this);
        } catch (const std::system_error&) {
            inPlace_ = true;  // out of threads or memory for a stack: slower, not wrong
        }
    }
    if (inPlace_) {
        job_();
        done_ = true;  // no other thread to share it with
        pending_ = true;
        return;
    }
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
    }
    pending_ = true;
    changed_.notify_all();
}

void BackgroundTask::wait() {
    if (!pending_) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_; });
    done_ = false;
    pending_ = false;
}

void BackgroundTask::serve() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return requested_ || quit_; });
        if (quit_) return;
        requested_ = false;
        lock.unlock();
        job_();
        lock.lock();
        done_ = true;
        changed_.notify_all();
    }
}

}  // namespace tovane
