// The writing of parts on a thread of their own: the system's copy into the
// files takes a core while the run reads and scans the source (or converts
// it) on another; where the system has no thread to spare, the batches are
// written as they are handed. Batches, each of bytes for one file and
// perhaps its closing, wait in a short queue, and are numbered, so that the
// caller knows which of its buffers it may fill again: those of the batches
// written so far. The two sides hand batches to each other thousands of
// times a second: each looks for the other's answer a while before it
// sleeps on it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "split/io/native_file.h"

namespace tovane {

class WriteBehind {
public:
    // Batches handed and not yet written, at most.
    static constexpr std::size_t kDepth = 8;

    WriteBehind() = default;
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Hands a batch: `spans` to be written to `file` (the part at `path`,
    // which must outlive the batch), and the file then closed when `close`.
    // Takes the spans (the vector comes back empty). Waits first while the
    // queue is full. Returns the batch's number, from 1.
    std::uint64_t hand(NativeFile& file, std::vector<ByteSpan>& spans, bool close,
                       const std::string& path);
    // The number of the batch handed last, and of the last one written.
    std::uint64_t handed() const { return handed_; }
    std::uint64_t written() const { return done_.load(); }
    // Waits until the batches up to `batch` are written (or failed).
    void waitFor(std::uint64_t batch);

    // The first batch whose writing failed, 0 for none; the batches after
    // it are not written, but their files are closed as asked. Its error and
    // its part's path, once it is written.
    std::uint64_t failedBatch() const { return failed_.load(); }
    int error() const { return error_; }
    const std::string& failedPath() const { return *failedPath_; }

private:
    struct Batch {
        NativeFile* file = nullptr;
        std::vector<ByteSpan> spans;
        bool close = false;
        const std::string* path = nullptr;
    };

    void work();
    void write(std::uint64_t number);
    // Waits until `ready` says so: looking a while, then asleep.
    template <typename Ready>
    void await(const Ready& ready);
    void wake();

    Batch queue_[kDepth];  // batch n at n % kDepth
    std::uint64_t handed_ = 0;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> failed_{0};
    int error_ = 0;
    const std::string* failedPath_ = nullptr;
    std::atomic<bool> ending_{false};          // the thread is to go
    std::atomic<std::uint64_t> published_{0};  // handed_, as the thread sees it
    // Either side that sleeps on the other says so, so that the other wakes it.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<int> sleepers_{0};
    std::thread thread_;  // started with the first batch
    bool alone_ = false;  // no thread could be started: batches are written at once
};

}  // namespace tovane
