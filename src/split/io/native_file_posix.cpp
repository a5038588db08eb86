#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "split/io/native_file.h"

namespace tovane {

namespace {

#ifdef IOV_MAX
constexpr std::size_t kMaxSpans = IOV_MAX;
#else
constexpr std::size_t kMaxSpans = 1024;
#endif

int fdOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

std::int64_t nanoseconds(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
           static_cast<std::int64_t>(info.st_mtim.tv_nsec);
}

}  // namespace

NativeFile::~NativeFile() {
    if (isOpen()) ::close(fdOf(handle_));
}

bool NativeFile::isOpen() const {
    return handle_ >= 0;
}

bool NativeFile::readStatus(FileStamp* stamp) {
    struct stat info {};
    if (::fstat(fdOf(handle_), &info) != 0) {
        error_ = errno;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = EINVAL;
        return false;
    }
    identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    if (stamp != nullptr) *stamp = {static_cast<std::uint64_t>(info.st_size), nanoseconds(info)};
    return true;
}

bool NativeFile::openForReading(const std::string& path) {
    close();
    countOpenForReading();
    // Non-blocking so that a FIFO put in the source's place can't hang the run;
    // regular files ignore the flag.
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle_ < 0) {
        error_ = errno;
        return false;
    }
    return readStatus(nullptr) || abandon();
}

bool NativeFile::createNew(const std::string& path, bool /*hidden*/) {
    close();
    // O_EXCL never follows a link or opens what is there: a FIFO, a device
    // or another file at the name is left alone.
    handle_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (handle_ < 0) {
        error_ = errno;
        return false;
    }
    return true;
}

std::int64_t NativeFile::readAt(std::uint64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fdOf(handle_), buffer + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

bool NativeFile::writeAll(const ByteSpan* spans, std::size_t count) {
    iovec vectors[kMaxSpans > 1024 ? 1024 : kMaxSpans];
    constexpr std::size_t kBatch = sizeof vectors / sizeof vectors[0];
    std::size_t first = 0;
    std::size_t skip = 0;  // bytes of spans[first] already written
    while (first < count) {
        const std::size_t batch = std::min(kBatch, count - first);
        for (std::size_t k = 0; k < batch; ++k) {
            vectors[k] = {const_cast<char*>(spans[first + k].data), spans[first + k].size};
        }
        vectors[0].iov_base = static_cast<char*>(vectors[0].iov_base) + skip;
        vectors[0].iov_len -= skip;
        const ssize_t done = ::writev(fdOf(handle_), vectors, static_cast<int>(batch));
        if (done < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        // A short write leaves the rest, partly written, to go again.
        auto left = static_cast<std::size_t>(done) + skip;
        skip = 0;
        while (first < count && left >= spans[first].size) {
            left -= spans[first].size;
            ++first;
        }
        skip = left;
    }
    return true;
}

bool NativeFile::stamp(FileStamp& stamp) {
    return isOpen() && readStatus(&stamp);
}

bool NativeFile::close() {
    if (!isOpen()) return true;
    const int fd = fdOf(handle_);
    handle_ = -1;
    // A delayed write error (a full disk on a network file system) shows up here.
    if (::close(fd) != 0 && errno != EINTR) {
        error_ = errno;
        return false;
    }
    return true;
}

}  // namespace tovane
