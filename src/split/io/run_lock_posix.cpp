#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "split/io/run_lock.h"

namespace tovane {

namespace {

// An open-file-description lock where the system has one (it also holds on
// NFS, where it becomes a lock of the server's), else flock.
bool lockExclusively(int fd) {
#ifdef F_OFD_SETLK
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) return true;
    if (errno != EINVAL) return false;
#endif
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

RunLock::Result RunLock::take(const std::string& path, FileIdentity source) {
    release();
    path_ = path;
    // The file may be removed by a run that lets its lock go between our
    // open and our lock; the lock only counts when it is on the file that
    // still has the name.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            error_ = errno;
            return Result::Failed;
        }
        if (!lockExclusively(fd)) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK || error == EAGAIN || error == EACCES) return Result::Busy;
            error_ = error;
            return Result::Failed;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 &&
            FileIdentity{static_cast<std::uint64_t>(held.st_dev),
                         static_cast<std::uint64_t>(held.st_ino)} == source) {
            ::close(fd);
            return Result::IsSource;
        }
        if (::fstat(fd, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            handle_ = fd;
            return Result::Taken;
        }
        ::close(fd);
    }
    error_ = EAGAIN;
    return Result::Failed;
}

void RunLock::release() {
    if (handle_ < 0) return;
    // Removed while still held, so that no one takes a lock on a file that
    // is going; only while the name still leads to the file held.
    struct stat held {};
    struct stat named {};
    if (::fstat(static_cast<int>(handle_), &held) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        ::unlink(path_.c_str());
    }
    ::close(static_cast<int>(handle_));
    handle_ = -1;
}

}  // namespace tovane
