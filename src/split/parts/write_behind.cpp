#include "split/parts/write_behind.h"

#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tovane {

namespace {

// How long a side looks for the other's answer before it sleeps: about as
// long as a batch takes, so that the system's wakeups, which cost as much,
// are spared where both sides keep busy.
constexpr int kLooks = 4000;

void pause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

}  // namespace

WriteBehind::~WriteBehind() {
    ending_ = true;
    wake();
    if (thread_.joinable()) thread_.join();
}

template <typename Ready>
void WriteBehind::await(const Ready& ready) {
    for (int look = 0; look < kLooks; ++look) {
        if (ready()) return;
        pause();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    ++sleepers_;
    changed_.wait(lock, ready);
    --sleepers_;
}

void WriteBehind::wake() {
    if (sleepers_.load() == 0) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    changed_.notify_all();
}

std::uint64_t WriteBehind::hand(NativeFile& file, std::vector<ByteSpan>& spans, bool close,
                                const std::string& path) {
    // The slot is free once the batch kDepth before this one is written.
    if (handed_ >= kDepth) waitFor(handed_ + 1 - kDepth);
    const std::uint64_t number = handed_ + 1;
    Batch& batch = queue_[number % kDepth];
    batch.file = &file;
    batch.spans.swap(spans);
    spans.clear();
    batch.close = close;
    batch.path = &path;
    handed_ = number;
    if (!thread_.joinable() && !alone_) {
        try {
            thread_ = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            alone_ = true;  // the system has no thread to spare: written here, at once
        }
    }
    if (alone_) {
        write(number);
        done_ = number;
        return number;
    }
    published_ = number;
    wake();
    return number;
}

void WriteBehind::waitFor(std::uint64_t batch) {
    if (done_.load() >= batch) return;
    await([this, batch] { return done_.load() >= batch; });
}

void WriteBehind::work() {
    std::uint64_t next = 1;
    while (true) {
        await([this, next] { return published_.load() >= next || ending_.load(); });
        if (published_.load() < next) return;
        write(next);
        done_ = next;
        wake();
        ++next;
    }
}

// Batch `number`: its bytes written, then its file closed when asked. A file
// whose writing failed is closed all the same; after a failure only files
// are closed, and the first error stands.
void WriteBehind::write(std::uint64_t number) {
    Batch& batch = queue_[number % kDepth];
    bool written = failed_.load() != 0 || batch.spans.empty() ||
                   batch.file->writeAll(batch.spans.data(), batch.spans.size());
    int error = written ? 0 : batch.file->error();
    if (batch.close && !batch.file->close() && written && failed_.load() == 0) {
        written = false;
        error = batch.file->error();
    }
    batch.spans.clear();
    if (!written && failed_.load() == 0) {
        error_ = error;
        failedPath_ = batch.path;
        failed_ = number;
    }
}

}  // namespace tovane
