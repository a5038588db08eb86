#include "split/parts/write_behind.h"

namespace tovane {

WriteBehind::~WriteBehind() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void WriteBehind::finish(NativeFile& file, std::vector<ByteSpan>& spans) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        file_ = &file;
        spans_.swap(spans);
        spans.clear();
        started_ = true;
        working_ = true;
    }
    if (!thread_.joinable()) thread_ = std::thread([this] { work(); });
    changed_.notify_all();
}

bool WriteBehind::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!started_) return true;
    changed_.wait(lock, [this] { return !working_; });
    started_ = false;
    return error_ == 0;
}

void WriteBehind::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return working_ || ending_; });
        if (!working_) return;
        NativeFile& file = *file_;
        const std::vector<ByteSpan>& spans = spans_;
        lock.unlock();
        bool written = spans.empty() || file.writeAll(spans.data(), spans.size());
        const int writeError = written ? 0 : file.error();
        // A file whose writing failed is closed all the same; the first error stands.
        written = file.close() && written;
        const int error = written ? 0 : (writeError != 0 ? writeError : file.error());
        lock.lock();
        error_ = error;
        working_ = false;
        changed_.notify_all();
    }
}

}  // namespace tovane
