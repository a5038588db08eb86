// The part file being written, under a hidden name of its own in the save
// folder until it is complete. Pieces of lines are queued as references into
// the caller's buffers and go out together in one gathered write, so the bytes
// of a run of lines are copied once, straight from the read buffer to the
// file; lines whose ends must be rewritten are copied into a staging area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "split/io/native_file.h"
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

    // Queues bytes that stay valid until the next flush(). May flush itself.
    bool append(std::string_view bytes);
    // Room to copy bytes into before queueing them with appendStaged(); it
    // stays valid until the next flush.
    struct Staging {
        char* data;
        std::size_t size;
    };
    bool staging(Staging& area);
    bool appendStaged(std::size_t size);
    // Writes out everything queued; the caller's buffers are free afterwards.
    bool flush();
    // Flushes and closes the hidden file: the part is complete, ready to be
    // given its name once settle() says its bytes are all written.
    bool finish();
    // Parts are finished behind: the last of their bytes are written and the
    // file closed on a thread of its own while the next part is made. For a
    // caller whose bytes are all staged, as when converting: the others
    // stay its own only until the next flush().
    void finishBehind() { finishBehind_ = true; }
    // Waits for the part finishing behind; false when its writing failed,
    // failedPath() naming it, or this part's did.
    bool settle();
    // Whether the part finishing behind failed (told once): the caller, which
    // had it as complete, learns that it isn't.
    bool takeFailureBehind();
    // Closes and removes the hidden file of a part that wasn't finished.
    void discard();

    std::uint64_t written() const { return written_; }
    const std::string& path() const { return path_; }  // the part's own name
    // The part whose writing failed: this one, or the one finishing behind.
    const std::string& failedPath() const { return failedPath_.empty() ? path_ : failedPath_; }
    const std::string& temporaryPath() const { return temporaryPath_; }
    int error() const { return error_; }

private:
    bool createHidden(const std::string& folder, std::string_view name);
    bool fail(int error, const std::string& path);  // false
    void dropQueued();
    NativeFile& file() { return files_[fileSlot_]; }
    char* stagingHalf() const { return staging_.get() + stagingHalf_ * kStagingBytes; }

    // A half: the bytes queued before a flush, and the least room a staging area offers.
    static constexpr std::size_t kStagingBytes = std::size_t{256 + 16} << 10;

    NativeFile files_[2];  // this part's, and the one finishing behind
    std::size_t fileSlot_ = 0;
    std::string path_;
    std::string temporaryPath_;
    std::uint64_t written_ = 0;  // bytes appended to this part, queued or not
    std::vector<ByteSpan> queue_;
    std::size_t queuedBytes_ = 0;
    std::unique_ptr<char[]> staging_;  // two halves: this part's, and the one finishing behind
    std::size_t stagingHalf_ = 0;
    std::size_t stagedBytes_ = 0;  // in this part's half
    WriteBehind behind_;
    std::string behindPath_;  // of the part finishing behind
    std::string failedPath_;
    bool finishBehind_ = false;
    bool failedBehind_ = false;
    int error_ = 0;
    bool failed_ = false;         // a write failed: nothing more goes into this part
    bool ownsTemporary_ = false;  // the hidden file is ours to remove
};

}  // namespace tovane
