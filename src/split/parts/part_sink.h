// Where a run's lines go: the part files in the save folder. The sink takes
// the folder for its base name, writes each part under a hidden name, has it
// named when the splitter says it ends, clears away what earlier runs left
// hidden, and never lets a part take the place of the source. The splitter
// hands it bytes and "this part ends here", nothing more.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "split/io/native_file.h"
#include "split/io/run_lock.h"
#include "split/parts/part_publisher.h"
#include "split/parts/part_writer.h"

namespace tovane {

class PartSink {
public:
    PartSink(std::string saveFolder, std::string baseName);

    // Before the first part, changing nothing when it refuses: no other run
    // writes parts of this base name into the folder (that one holds its
    // lock until it ends), the name of part `mostParts` and its hidden name
    // fit the file system, and no part name there leads to `source`. Then
    // removes the hidden leftovers of earlier runs of this base name.
    // `byteOrderMark` opens every part. False with message().
    bool begin(FileIdentity source, std::string_view byteOrderMark, std::uint64_t mostParts);

    // Ends the part being written, if any, and begins the next.
    bool nextPart();
    // Bytes for the part being written; they must stay as they are until the
    // next flush(), which the sink may also do itself.
    bool write(std::string_view bytes);
    // Room to copy bytes into, then write them with writeStaged().
    bool staging(PartWriter::Staging& area) { return part_.staging(area) || failWrite(); }
    bool writeStaged(std::size_t size) { return part_.appendStaged(size) || failWrite(); }
    // Writes out what was handed in; the caller's bytes are free afterwards.
    bool flush() { return part_.flush() || failWrite(); }

    // The run ends: with `keep` the part being written is completed, otherwise
    // removed; every completed part is then named, the names made durable,
    // and the folder let go. False with message().
    bool finish(bool keep);

    // The part being written: its number (0 before the first) and its bytes.
    std::uint64_t number() const { return number_; }
    std::uint64_t written() const { return part_.written(); }
    // Parts completed and named.
    std::uint64_t published() const { return publisher_ ? publisher_->published() : 0; }
    const std::string& message() const { return message_; }
    // After a run that finished: names the parts past its last one that an
    // earlier run left (the source never counts); empty when there are none.
    std::string leftFromBefore() const;

private:
    bool endPart();
    bool wasTaken(std::uint64_t number) const;
    bool lookAtFolder();
    bool failWrite();
    bool failWith(std::string message);

    const std::string saveFolder_;
    const std::string baseName_;
    FileIdentity source_;
    std::string byteOrderMark_;
    RunLock lock_;
    PartWriter part_;
    std::unique_ptr<PartPublisher> publisher_;
    std::uint64_t number_ = 0;
    std::vector<std::uint64_t> takenAtStart_;  // sorted numbers of the parts already there
    std::string message_;
};

}  // namespace tovane
