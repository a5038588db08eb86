// Reads the next piece of the source on a second thread while the piece
// before it is being split, so that copying bytes out of the file overlaps
// copying them into the parts; and looks the piece over there too, with a
// check the caller supplies, while the bytes are fresh in that thread's cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "split/io/background_task.h"
#include "split/io/source_file.h"

namespace tovane {

class ReadAhead {
public:
    using Check = std::function<bool(std::string_view piece)>;
    ReadAhead(SourceFile& source, Check check);

    // Starts reading `size` bytes at `offset` into `into`, which must stay
    // untouched until wait() or cancel() returns. One read at a time.
    void start(std::uint64_t offset, char* into, std::size_t size);
    // Whether a read was started at `offset` and not yet collected.
    bool pendingAt(std::uint64_t offset) const { return task_.pending() && offset_ == offset; }
    // Collects the read started last: the bytes read, or -1 with the
    // source's error() set.
    std::int64_t wait();
    // What the check said of the piece collected last.
    bool passed() const { return passed_; }
    // Waits for a read in progress and forgets it.
    void cancel() { task_.wait(); }

private:
    SourceFile& source_;
    Check check_;
    std::uint64_t offset_ = 0;
    char* into_ = nullptr;
    std::size_t size_ = 0;
    std::int64_t got_ = 0;
    bool passed_ = false;
    BackgroundTask task_;  // last, so that its thread stops before the fields it uses go
};

}  // namespace tovane
