#include "split/parts/part_writer.h"

#include <atomic>
#include <cerrno>
#include <random>

#include "split/io/file_system.h"
#include "split/parts/part_in_progress.h"
#include "split/parts/part_names.h"

namespace tovane {

namespace {

constexpr std::size_t kMaxQueued = 1024;

// Bytes queued before they go out: small enough that they are still in the
// processor's cache from being scanned when the write copies them.
constexpr std::size_t kFlushBytes = std::size_t{256} << 10;

// A staging area with less room than this is written out first.
constexpr std::size_t kStagingReserve = std::size_t{16} << 10;

// Tokens that make hidden names unlikely to be taken; a taken one is skipped.
std::string nextToken() {
    // Shared by runs on several threads of one process.
    static std::atomic<std::uint64_t> state{[] {
        std::random_device device;
        return std::uint64_t{device()} << 32 | device();
    }()};
    std::uint64_t z = state.fetch_add(0x9E3779B97F4A7C15ull) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    std::string token(kTokenLength, '0');
    for (char& c : token) {
        const auto digit = static_cast<int>(z % 36);
        c = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        z /= 36;
    }
    return token;
}

}  // namespace

PartWriter::PartWriter() : staging_(new char[2 * kStagingBytes]) {
    static_assert(kStagingBytes == kFlushBytes + kStagingReserve);
    queue_.reserve(kMaxQueued);
}

PartWriter::~PartWriter() {
    discard();
}

bool PartWriter::createHidden(const std::string& folder, std::string_view name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath_ = folder + temporaryPartName(name, nextToken());
        if (file().createNew(temporaryPath_, true)) {
            ownsTemporary_ = true;
            PartInProgress::set(temporaryPath_);
            return true;
        }
        if (file().error() != EEXIST) break;
    }
    error_ = file().error();
    temporaryPath_.clear();
    return false;
}

bool PartWriter::open(const std::string& finalPath) {
    discard();
    path_ = finalPath;
    failedPath_.clear();
    written_ = 0;
    failed_ = false;
    return createHidden(std::string(folderOf(finalPath)), fileNameOf(finalPath));
}

bool PartWriter::append(std::string_view bytes) {
    if (failed_) return false;
    if (bytes.empty()) return true;
    written_ += bytes.size();
    queuedBytes_ += bytes.size();
    ByteSpan* last = queue_.empty() ? nullptr : &queue_.back();
    if (last != nullptr && last->data + last->size == bytes.data()) {
        last->size += bytes.size();  // the next line follows in the same buffer
    } else {
        if (queue_.size() == kMaxQueued && !flush()) return false;
        queue_.push_back({bytes.data(), bytes.size()});
    }
    return queuedBytes_ < kFlushBytes || flush();
}

bool PartWriter::staging(Staging& area) {
    if (kStagingBytes - stagedBytes_ < kStagingReserve && !flush()) return false;
    area = {stagingHalf() + stagedBytes_, kStagingBytes - stagedBytes_};
    return !failed_;
}

bool PartWriter::appendStaged(std::size_t size) {
    const char* data = stagingHalf() + stagedBytes_;
    stagedBytes_ += size;
    return append({data, size});
}

bool PartWriter::flush() {
    if (failed_) return false;
    const bool ok = queue_.empty() || file().writeAll(queue_.data(), queue_.size());
    dropQueued();
    return ok || fail(file().error(), path_);
}

// Nothing more goes into the part: the first failure is the one told.
bool PartWriter::fail(int error, const std::string& path) {
    error_ = error;
    failedPath_ = path;
    failed_ = true;
    dropQueued();
    return false;
}

void PartWriter::dropQueued() {
    queue_.clear();
    queuedBytes_ = 0;
    stagedBytes_ = 0;
}

bool PartWriter::finish() {
    if (!ownsTemporary_) return true;
    if (finishBehind_) {
        // The rest and the closing go out behind, from this half of the
        // staging room and this file; the next part takes the others.
        if (!settle()) return false;
        behind_.finish(file(), queue_);
        behindPath_ = path_;
        fileSlot_ ^= 1;
        stagingHalf_ ^= 1;
        dropQueued();
    } else {
        if (!flush()) return false;
        if (!file().close()) return fail(file().error(), path_);
    }
    ownsTemporary_ = false;  // handed on, to be named
    PartInProgress::clear();
    return true;
}

bool PartWriter::settle() {
    if (!behind_.wait()) {
        failedBehind_ = true;
        if (!failed_) return fail(behind_.error(), behindPath_);
    }
    return !failed_;
}

bool PartWriter::takeFailureBehind() {
    const bool failed = failedBehind_;
    failedBehind_ = false;
    return failed;
}

// The part finishing behind goes on: it is in the other file and half.
void PartWriter::discard() {
    dropQueued();
    file().close();
    if (ownsTemporary_) {
        files::removeFile(temporaryPath_);
        PartInProgress::clear();
    }
    ownsTemporary_ = false;
}

}  // namespace tovane
