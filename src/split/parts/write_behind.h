// The end of a part written and closed on a thread of its own while the
// next part is made, as when parts are converted to UTF-8: converting takes
// one core and the system's copy into the file another. One part's end at a
// time, so that the caller knows which buffers it may fill again: those of
// the end before the one it waited for last.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "split/io/native_file.h"

namespace tovane {

class WriteBehind {
public:
    WriteBehind() = default;
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Starts writing `spans` to `file` and closing it, taking the spans (the
    // vector comes back empty, with room for as many). The end before must
    // have been waited for; neither the file nor the bytes may be touched
    // until wait() returns.
    void finish(NativeFile& file, std::vector<ByteSpan>& spans);
    // Waits for the end started last, if any: false when it failed, with
    // error() saying why.
    bool wait();
    int error() const { return error_; }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    NativeFile* file_ = nullptr;
    std::vector<ByteSpan> spans_;
    bool started_ = false;  // an end was started and not yet waited for
    bool working_ = false;  // the thread has an end to write
    bool ending_ = false;   // the thread is to go
    int error_ = 0;         // of the end written last; 0 when it succeeded
    std::thread thread_;    // started with the first end
};

}  // namespace tovane
