// The part file being written, under a hidden name of its own in the save
// folder until it is complete. Pieces of lines are queued as references into
// the caller's buffers and go out together in one gathered write, so the bytes
// of a run of lines are copied once, straight from the read buffer to the
// file; lines whose ends must be rewritten are copied into a staging area.
// The writes, and the closing of a complete part, happen on a thread of
// their own, a batch at a time, while the caller goes on: the next part may
// be made before the last is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "split/io/native_file.h"
#include "split/line_measure.h"
#include "split/parts/write_behind.h"

namespace tovane {

class PartWriter {
public:
    PartWriter();
    ~PartWriter();
    PartWriter(const PartWriter&) = delete;
    PartWriter& operator=(const PartWriter&) = delete;

    // Creates the hidden file that the part named `finalPath` is written
    // under, in the same folder. Whatever stands at `finalPath` is not touched.
    bool open(const std::string& finalPath);

    // Queues bytes, which must stay as they are until a release() says they
    // are free. May hand them on by itself.
    bool append(std::string_view bytes);
    // Room to copy bytes into before queueing them with appendStaged().
    struct Staging {
        char* data;
        std::size_t size;
    };
    bool staging(Staging& area);
    bool appendStaged(std::size_t size);
    // Hands everything queued on to be written.
    bool flush();
    // Flushes, and frees the caller's bytes queued before the release
    // kReadRooms - 1 releases back: the source then reads into their room.
    bool release();
    // Hands the rest and the closing of the hidden file: the part is
    // complete, ready to be given its name once settle() says its bytes are
    // all written. The next part may be opened meanwhile.
    bool finish();
    // Waits until everything handed on is written; false when a write
    // failed, failedPath() naming its part.
    bool settle();
    // How many of the parts handed on as complete turned out not to be, the
    // last ones (told once), after a failure.
    std::size_t takeFailedParts();
    // Closes and removes the hidden file of a part that wasn't finished.
    void discard();

    std::uint64_t written() const { return written_; }
    const std::string& path() const { return path_; }  // the part's own name
    // The part whose writing failed: this one, or one finishing behind.
    const std::string& failedPath() const { return failedPath_.empty() ? path_ : failedPath_; }
    const std::string& temporaryPath() const { return temporaryPath_; }
    int error() const { return error_; }
    // A write failed: nothing more goes into the parts.
    bool writeFailed() const { return failed_; }

private:
    // A part's file, open from its making until the batch that closes it is
    // written; and the bytes staged for the batches, a chunk of them at a
    // time, each free again once the batches it went out in are written.
    struct FileSlot {
        NativeFile file;
        std::uint64_t closingBatch = 0;
    };
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::uint64_t lastBatch = 0;
    };
    // A part whose batches may still be waiting to be written: its name
    // (which they refer to) and the batch that closes it, 0 while it is open.
    struct Handed {
        std::string path;
        std::uint64_t closingBatch = 0;
    };

    bool createHidden(const std::string& folder, std::string_view name);
    bool hand(bool close);
    bool failedBehind();
    bool fail(int error, const std::string& path);  // false
    void dropQueued();
    NativeFile& file() { return files_[fileSlot_].file; }
    char* stagingArea() const { return chunks_[chunk_].bytes.get() + stagedBytes_; }

    // A chunk: the bytes staged before they are handed on, and the least room one offers.
    static constexpr std::size_t kChunkBytes = std::size_t{256 + 16} << 10;
    static constexpr std::size_t kFileSlots = WriteBehind::kDepth + 2;
    static constexpr std::size_t kChunks = WriteBehind::kDepth + 1;

    FileSlot files_[kFileSlots];
    std::size_t fileSlot_ = 0;
    std::string path_;
    std::string temporaryPath_;
    std::deque<Handed> handed_;  // the last is this part, while its file is open
    std::uint64_t written_ = 0;  // bytes appended to this part, queued or not
    std::vector<ByteSpan> queue_;
    std::size_t queuedBytes_ = 0;
    Chunk chunks_[kChunks];
    std::size_t chunk_ = 0;
    std::size_t stagedBytes_ = 0;         // in the chunk in use
    std::deque<std::uint64_t> releases_;  // the last batch handed at each recent release
    WriteBehind behind_;
    std::string failedPath_;
    std::size_t failedParts_ = 0;
    int error_ = 0;
    bool failed_ = false;         // a write failed: nothing more goes into the parts
    bool ownsTemporary_ = false;  // the hidden file is ours to remove
};

}  // namespace tovane
