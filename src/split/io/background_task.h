// One job run again and again on a thread of its own, one run at a time, so
// that a slow system call can proceed while the splitting thread goes on.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tovane {

class BackgroundTask {
public:
    explicit BackgroundTask(std::function<void()> job) : job_(std::move(job)) {}
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Runs the job once more. What it reads was set before start(); what it
    // leaves is seen after wait(). The thread is made on the first start();
    // where the system has none to give, the job runs right here instead.
    void start();
    // Until the run started last has returned.
    void wait();
    // Started and not yet waited for.
    bool pending() const { return pending_; }

private:
    void serve();

    std::function<void()> job_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool pending_ = false;  // the caller's own view, touched by the caller only
    bool requested_ = false;
    bool done_ = false;
    bool quit_ = false;
    bool inPlace_ = false;  // no thread could be made
};

}  // namespace tovane
