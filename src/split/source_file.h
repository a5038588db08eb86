// The source opened for reading with positioned reads, so that a line can be
// read again from its start without disturbing the sequential scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovane {

class SourceFile {
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Opens a regular file; a FIFO or device is refused (EINVAL) rather than
    // waited on. Returns false with error() set.
    bool open(const std::string& path);
    void close();

    // Reads up to `size` bytes at `offset`, fewer only at the end of the file.
    // Returns the count, or -1 with error() set.
    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t size);

    std::uint64_t size() const { return size_; }

    // Whether the file was written to since it was opened: its size or its
    // modification time differ from what they were then.
    bool changedSinceOpen() const;
    int error() const { return error_; }

    // Whether `path` names this same file (through another name, a link or
    // a hard link), so that it must never be opened for writing.
    bool isSameFile(const std::string& path) const;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    std::int64_t modifiedSeconds_ = 0;
    std::int64_t modifiedNanoseconds_ = 0;
    int error_ = 0;
};

// An existing regular file at `path` (what the source check asks).
bool isRegularFile(const std::string& path);
// An existing folder at `path` (what the save-folder check asks).
bool isDirectory(const std::string& path);

}  // namespace tovane
