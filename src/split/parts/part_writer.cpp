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

PartWriter::PartWriter() {
    for (Chunk& chunk : chunks_) chunk.bytes.reset(new char[kChunkBytes]);
    static_assert(kChunkBytes == kFlushBytes + kStagingReserve);
    queue_.reserve(kMaxQueued);
}

PartWriter::~PartWriter() {
    discard();
    behind_.waitFor(behind_.handed());
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

// The next file slot, once the batch that closed its last part is written.
bool PartWriter::open(const std::string& finalPath) {
    discard();
    path_ = finalPath;
    failedPath_.clear();
    written_ = 0;
    if (failed_ || failedBehind()) return false;
    fileSlot_ = (fileSlot_ + 1) % kFileSlots;
    behind_.waitFor(files_[fileSlot_].closingBatch);
    while (!handed_.empty() && handed_.front().closingBatch != 0 &&
           handed_.front().closingBatch <= behind_.written()) {
        handed_.pop_front();
    }
    if (!createHidden(std::string(folderOf(finalPath)), fileNameOf(finalPath))) return false;
    handed_.push_back({finalPath, 0});
    return true;
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

// A chunk with too little room left goes out, and the next one, once its
// bytes are written, takes its place.
bool PartWriter::staging(Staging& area) {
    if (kChunkBytes - stagedBytes_ < kStagingReserve) {
        if (!flush()) return false;
        chunk_ = (chunk_ + 1) % kChunks;
        stagedBytes_ = 0;
        behind_.waitFor(chunks_[chunk_].lastBatch);
    }
    area = {stagingArea(), kChunkBytes - stagedBytes_};
    return !failed_;
}

bool PartWriter::appendStaged(std::size_t size) {
    const char* data = stagingArea();
    stagedBytes_ += size;
    return append({data, size});
}

bool PartWriter::flush() {
    if (failed_ || failedBehind()) return false;
    return queue_.empty() || hand(false);
}

bool PartWriter::release() {
    if (!flush()) return false;
    releases_.push_back(behind_.handed());
    while (releases_.size() > kReadRooms - 1) {
        behind_.waitFor(releases_.front());
        releases_.pop_front();
    }
    return !failedBehind();
}

bool PartWriter::hand(bool close) {
    const std::uint64_t batch = behind_.hand(file(), queue_, close, handed_.back().path);
    if (stagedBytes_ > 0) chunks_[chunk_].lastBatch = batch;
    if (close) {
        files_[fileSlot_].closingBatch = batch;
        handed_.back().closingBatch = batch;
    }
    queuedBytes_ = 0;
    return true;
}

// Nothing more goes into the parts: the first failure is the one told.
bool PartWriter::fail(int error, const std::string& path) {
    error_ = error;
    failedPath_ = path;
    failed_ = true;
    dropQueued();
    return false;
}

// A batch failed: its part, and every part closed in it or after it, is
// not complete after all.
bool PartWriter::failedBehind() {
    const std::uint64_t failed = behind_.failedBatch();
    if (failed == 0 || failed_) return failed != 0;
    behind_.waitFor(failed);
    failedParts_ = 0;
    for (const Handed& part : handed_) {
        if (part.closingBatch >= failed) ++failedParts_;
    }
    return !fail(behind_.error(), behind_.failedPath());
}

std::size_t PartWriter::takeFailedParts() {
    failedBehind();
    const std::size_t failed = failedParts_;
    failedParts_ = 0;
    return failed;
}

void PartWriter::dropQueued() {
    queue_.clear();
    queuedBytes_ = 0;
}

// The rest and the closing go out behind; the next part takes another file.
bool PartWriter::finish() {
    if (!ownsTemporary_) return true;
    if (failed_ || failedBehind() || !hand(true)) return false;
    dropQueued();
    ownsTemporary_ = false;  // handed on, to be named
    PartInProgress::clear();
    return true;
}

bool PartWriter::settle() {
    behind_.waitFor(behind_.handed());
    return !failedBehind() && !failed_;
}

// Parts finishing behind go on. This part's own batches are written before
// its file goes.
void PartWriter::discard() {
    dropQueued();
    if (!ownsTemporary_) return;
    behind_.waitFor(behind_.handed());
    failedBehind();
    file().close();
    files::removeFile(temporaryPath_);
    PartInProgress::clear();
    handed_.pop_back();
    ownsTemporary_ = false;
}

}  // namespace tovane
