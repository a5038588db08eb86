#include "part_writer.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>

namespace tovane {

namespace {

#ifdef IOV_MAX
constexpr std::size_t kMaxQueued = IOV_MAX;
#else
constexpr std::size_t kMaxQueued = 1024;
#endif

// Bytes queued before they go out: small enough that they are still in the
// processor's cache from being scanned when the write copies them.
constexpr std::size_t kFlushBytes = std::size_t{256} << 10;

}  // namespace

PartWriter::PartWriter() {
    queue_.reserve(kMaxQueued);
}

PartWriter::~PartWriter() {
    discard();
}

bool PartWriter::open(const std::string& path, bool replace) {
    discard();
    path_ = path;
    written_ = 0;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL), 0666);
    if (fd_ < 0) {
        error_ = errno;  // whatever stands at that name is not ours to remove
        return false;
    }
    complete_ = false;
    return true;
}

bool PartWriter::append(std::string_view bytes) {
    if (bytes.empty()) return true;
    written_ += bytes.size();
    queuedBytes_ += bytes.size();
    iovec* last = queue_.empty() ? nullptr : &queue_.back();
    if (last != nullptr &&
        static_cast<const char*>(last->iov_base) + last->iov_len == bytes.data()) {
        last->iov_len += bytes.size();  // the next line follows in the same buffer
    } else {
        if (queue_.size() == kMaxQueued && !flush()) return false;
        queue_.push_back({const_cast<char*>(bytes.data()), bytes.size()});
    }
    return queuedBytes_ < kFlushBytes || flush();
}

bool PartWriter::flush() {
    std::size_t first = 0;
    while (first < queue_.size()) {
        const ssize_t done =
            ::writev(fd_, queue_.data() + first, static_cast<int>(queue_.size() - first));
        if (done < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            queue_.clear();
            queuedBytes_ = 0;
            return false;
        }
        // A short write leaves the rest of the queue, partly written, to go again.
        auto left = static_cast<std::size_t>(done);
        while (first < queue_.size() && left >= queue_[first].iov_len) {
            left -= queue_[first].iov_len;
            ++first;
        }
        if (left > 0) {
            queue_[first].iov_base = static_cast<char*>(queue_[first].iov_base) + left;
            queue_[first].iov_len -= left;
        }
    }
    queue_.clear();
    queuedBytes_ = 0;
    return true;
}

bool PartWriter::close() {
    if (fd_ < 0) return true;
    if (!flush()) return false;
    const int fd = fd_;
    fd_ = -1;
    // A delayed write error (a full disk on a network file system) shows up here.
    if (::close(fd) != 0 && errno != EINTR) {
        error_ = errno;
        return false;
    }
    complete_ = true;
    return true;
}

void PartWriter::discard() {
    queue_.clear();
    queuedBytes_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!complete_ && !path_.empty()) ::unlink(path_.c_str());
    complete_ = true;
}

}  // namespace tovane
