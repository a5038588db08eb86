// The part file being written. Pieces of lines are queued as references into
// the caller's buffers and go out together in one gathered write, so the bytes
// of a run of lines are copied once, straight from the read buffer to the file.
#pragma once

#include <sys/uio.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovane {

class PartWriter {
public:
    PartWriter();
    ~PartWriter();
    PartWriter(const PartWriter&) = delete;
    PartWriter& operator=(const PartWriter&) = delete;

    // Creates the file; with `replace`, in place of one of that name, else
    // only where the name is free (EEXIST otherwise).
    bool open(const std::string& path, bool replace);
    bool isOpen() const { return fd_ >= 0; }

    // Queues bytes that stay valid until the next flush(). May flush itself.
    bool append(std::string_view bytes);
    // Writes out everything queued; the caller's buffers are free afterwards.
    bool flush();
    // Flushes and closes; the part is then complete.
    bool close();
    // Closes and removes a part that wasn't completed by close().
    void discard();

    std::uint64_t written() const { return written_; }
    const std::string& path() const { return path_; }
    int error() const { return error_; }

private:
    int fd_ = -1;
    std::string path_;
    std::uint64_t written_ = 0;  // bytes appended to this part, queued or not
    std::vector<iovec> queue_;
    std::size_t queuedBytes_ = 0;
    int error_ = 0;
    bool complete_ = true;  // nothing of ours to remove
};

}  // namespace tovane
