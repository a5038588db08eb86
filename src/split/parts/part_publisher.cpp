#include "split/parts/part_publisher.h"

#include <cerrno>

#include "split/io/file_system.h"
#include "split/parts/part_in_progress.h"
#include "split/parts/part_names.h"

namespace tovane {

namespace {

// A batch is bounded so that memory stays small and a stopped run doesn't
// wait long for the disk before it ends.
constexpr std::size_t kMaxWaitingParts = 1024;
constexpr std::uint64_t kMaxWaitingBytes = std::uint64_t{64} << 20;

}  // namespace

PartPublisher::~PartPublisher() {
    abandon(0);
}

Problem PartPublisher::refusal(const std::string& path) const {
    switch (files::kindAt(path)) {
        case files::EntryKind::None:
            return {};
        case files::EntryKind::Folder:
            return Problem::about(Problem::Kind::CannotCreate, path, EISDIR);
        case files::EntryKind::File:
        case files::EntryKind::Other:
            break;
    }
    // Through a link or a hard link too: the source's name, not a copy.
    const auto identity = files::identityOf(path);
    if (identity && *identity == source_) return Problem::about(Problem::Kind::PartIsSource, path);
    return {};
}

void PartPublisher::add(std::string temporaryPath, std::string path, std::uint64_t bytes,
                        bool wasFree) {
    waiting_.push_back({std::move(temporaryPath), std::move(path), wasFree});
    waitingBytes_ += bytes;
    PartInProgress::setFinishedWaiting(true);
}

bool PartPublisher::due() const {
    return waiting_.size() >= kMaxWaitingParts || waitingBytes_ >= kMaxWaitingBytes;
}

bool PartPublisher::publish() {
    if (waiting_.empty()) return true;
    if (const int error = files::makeDurable(std::string(folderOf(waiting_.front().path)))) {
        problem_ = Problem::about(Problem::Kind::CannotWrite, waiting_.front().path, error);
        abandon(0);
        return false;
    }
    for (std::size_t i = 0; i < waiting_.size(); ++i) {
        problem_ = name(waiting_[i]);
        if (problem_) {
            abandon(i);
            return false;
        }
        ++published_;
    }
    waiting_.clear();
    waitingBytes_ = 0;
    PartInProgress::setFinishedWaiting(false);
    return true;
}

// Gives the part its name. Whatever has the name is looked at right before,
// since it may have come since the part was begun: a name that was free is
// taken only if it still is, in one step, and looked at only if it isn't.
Problem PartPublisher::name(const Waiting& part) const {
    using Kind = Problem::Kind;
    if (part.wasFree) {
        const int error = files::renameNoReplace(part.temporaryPath, part.path);
        if (error == 0) return {};
        if (error != EEXIST && error != ENOTSUP) {
            return Problem::about(Kind::CannotCreate, part.path, error);
        }
    }
    Problem refused = refusal(part.path);
    if (refused) return refused;
    if (const int error = files::renameReplacing(part.temporaryPath, part.path)) {
        return Problem::about(Kind::CannotCreate, part.path, error);
    }
    return {};
}

void PartPublisher::dropLast(std::size_t count) {
    for (; count > 0 && !waiting_.empty(); --count) {
        files::removeFile(waiting_.back().temporaryPath);
        waiting_.pop_back();
    }
    if (waiting_.empty()) PartInProgress::setFinishedWaiting(false);
}

void PartPublisher::abandon(std::size_t from) {
    for (std::size_t i = from; i < waiting_.size(); ++i) {
        files::removeFile(waiting_[i].temporaryPath);
    }
    waiting_.clear();
    waitingBytes_ = 0;
    PartInProgress::setFinishedWaiting(false);
}

}  // namespace tovane
