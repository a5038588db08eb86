#include "source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tovane {

SourceFile::~SourceFile() {
    close();
}

bool SourceFile::open(const std::string& path) {
    close();
    // Non-blocking so that a FIFO put in the source's place can't hang the run;
    // regular files ignore the flag.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        error_ = S_ISREG(info.st_mode) ? errno : EINVAL;
        close();
        return false;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    device_ = static_cast<std::uint64_t>(info.st_dev);
    inode_ = static_cast<std::uint64_t>(info.st_ino);
    modifiedSeconds_ = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    modifiedNanoseconds_ = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return true;
}

bool SourceFile::changedSinceOpen() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return true;
    return static_cast<std::uint64_t>(info.st_size) != size_ ||
           static_cast<std::int64_t>(info.st_mtim.tv_sec) != modifiedSeconds_ ||
           static_cast<std::int64_t>(info.st_mtim.tv_nsec) != modifiedNanoseconds_;
}

void SourceFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::int64_t SourceFile::readAt(std::uint64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fd_, buffer + done, size - done, static_cast<off_t>(offset + done));
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

bool SourceFile::isSameFile(const std::string& path) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return static_cast<std::uint64_t>(info.st_dev) == device_ &&
           static_cast<std::uint64_t>(info.st_ino) == inode_;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace tovane
