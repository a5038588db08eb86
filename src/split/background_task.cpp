#include "background_task.h"

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
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
    }
    pending_ = true;
    if (thread_.joinable()) {
        changed_.notify_all();
    } else {
        thread_ = std::thread(&BackgroundTask::serve, this);
    }
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
