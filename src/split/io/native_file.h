// One open file of the engine's, over the system's own calls: POSIX file
// descriptors or Win32 handles, chosen when the engine is compiled. Errors
// are errno values on both sides, so that one table of reasons serves both.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tovane {

// What names one file whatever name it is reached by: device and inode, or
// volume serial number and file index.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What changes when a file is written to.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds, on the system's own clock
    bool operator==(const FileStamp&) const = default;
};

// Bytes to be written, one of several that go out in one gathered write.
struct ByteSpan {
    const char* data;
    std::size_t size;
};

// An error of the system's own that has no errno twin: the file is open in
// another program that doesn't share it.
inline constexpr int kErrorFileInUse = 10001;
// Another: the name holds a character the file system doesn't allow.
inline constexpr int kErrorInvalidName = 10002;
// Another: a file whose size reads 0 yields bytes, as the system's own
// generated files do.
inline constexpr int kErrorSizeUnknown = 10003;

class NativeFile {
public:
    NativeFile() = default;
    ~NativeFile();
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    // Opens a regular file for positioned reads, sharing it with programs
    // that have it open; a FIFO or device is refused (EINVAL) rather than
    // waited on.
    bool openForReading(const std::string& path);
    // Creates a file only where the name is free (EEXIST otherwise), for
    // writing; `hidden` also marks it so where the system has such a mark.
    bool createNew(const std::string& path, bool hidden);
    bool isOpen() const;

    // Reads up to `size` bytes at `offset`, fewer only at the end of the
    // file. Returns the count, or -1 with error() set.
    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t size);
    // Writes all the spans, in order, at the end of what was written so far.
    bool writeAll(const ByteSpan* spans, std::size_t count);

    // The file, whatever name reaches it (of a file opened for reading).
    FileIdentity identity() const { return identity_; }
    // The file's size and modification time now; false with error() set.
    bool stamp(FileStamp& stamp);

    // Closes; a write error the system delayed until now is reported.
    bool close();
    int error() const { return error_.load(std::memory_order_relaxed); }

    // How many files this process opened for reading, ever: what a run
    // opens is counted by its tests.
    static std::uint64_t openedForReading();

private:
    bool readStatus(FileStamp* stamp);
    static void countOpenForReading();
    // Closes a file that turned out unusable, keeping error(); false.
    bool abandon();

    std::intptr_t handle_ = -1;
    FileIdentity identity_;
    // Set by a read that fails, which may run beside another on a second thread.
    std::atomic<int> error_{0};
};

}  // namespace tovane
