// Where a run's bytes go: the part files in the save folder. The sink takes
// the folder for its base name, writes each part under a hidden name, has it
// named when the run says it ends, clears away what earlier runs left
// hidden, and never lets a part take the place of the source. It names the
// parts as the run asks (padded numbers, chapter titles). The output stage
// hands it bytes as the parts hold them and "this part ends here", nothing
// more. A sink that only counts makes no file at all.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "split/io/native_file.h"
#include "split/io/run_lock.h"
#include "split/parts/part_names.h"
#include "split/parts/part_publisher.h"
#include "split/parts/part_writer.h"
#include "split/problem.h"

namespace tovane {

class PartSink {
public:
    PartSink(std::string saveFolder, std::string baseName, PartNaming naming = {});

    // A sink that makes no file and only counts the parts and their bytes,
    // for knowing beforehand how many parts a run makes.
    void countOnly() { countOnly_ = true; }
    // How the parts are to be named, before begin().
    void nameParts(PartNaming naming) { naming_ = naming; }
    // Parts keep their hidden names until `cleared` says they may be named.
    // It is asked whenever parts would be named, with how many wait, waiting
    // for the answer only at the end or when kMostHeldBack parts wait; when
    // it says no, every part made is removed and the run fails (namesRefused()).
    enum class Clearance { Cleared, Refused, NotYet };
    static constexpr std::size_t kMostHeldBack = 16384;
    void holdNamesUntil(std::function<Clearance(bool wait, std::size_t waiting)> cleared) {
        cleared_ = std::move(cleared);
    }
    bool namesRefused() const { return namesRefused_; }
    // Before the first part, changing nothing when it refuses: no other run
    // writes parts of this base name into the folder (that one holds its
    // lock until it ends), the name of part `mostParts` and its hidden name
    // fit the file system, and no part name there leads to `source`. Then
    // removes the hidden leftovers of earlier runs of this base name.
    // `mark` opens every part. False with problem().
    bool begin(FileIdentity source, std::string_view mark, std::uint64_t mostParts);
    bool counting() const { return countOnly_; }

    // Ends the part being written, if any, and begins the next; `title` is
    // the words of its first chapter, for titled names.
    bool nextPart(std::string_view title = {});
    // Bytes for the part being written; they must stay as they are until a
    // release() says they are free.
    bool write(std::string_view bytes);
    // Room to copy bytes into, then write them with writeStaged().
    bool staging(PartWriter::Staging& area);
    bool writeStaged(std::size_t size);
    // A sink that counts: `bytes` more in the part.
    bool countBytes(std::uint64_t bytes) {
        counted_ += bytes;
        return true;
    }
    // Hands what was handed in on to be written.
    bool flush() { return countOnly_ || part_.flush() || failWrite(); }
    // Flushes, and frees the caller's bytes handed in before the release
    // kReadRooms - 1 releases back (see PartWriter::release).
    bool release() { return countOnly_ || part_.release() || failWrite(); }

    // The run ends: with `keep` the part being written is completed, otherwise
    // removed; every completed part is then named, the names made durable,
    // and the folder let go. False with problem().
    bool finish(bool keep);

    // The part being written: its number (0 before the first) and its bytes.
    std::uint64_t number() const { return number_; }
    std::uint64_t output() const { return countOnly_ ? counted_ : part_.written(); }
    // The name of the part being written.
    const std::string& partPath() const { return part_.path(); }
    // Parts completed and named (counted, for a sink that only counts).
    std::uint64_t published() const;
    const Problem& problem() const { return problem_; }
    // After a run that finished or stopped: names the parts an earlier run
    // left that this one didn't write (the source never counts), or none.
    Problem leftFromBefore() const;

private:
    bool endPart();
    Clearance clearance(bool wait);
    bool lookAtFolder();
    bool mayBeAnotherBases(std::string_view hidden) const;
    bool settlePart();
    bool failWrite();
    bool failWith(Problem problem);
    std::string nameOfPart(std::string_view title) const;
    std::uint64_t firstNameTooLong(std::uint64_t mostParts) const;

    const std::string saveFolder_;
    const std::string baseName_;
    PartNaming naming_;
    FileIdentity source_;
    std::string byteOrderMark_;        // what opens every part
    std::unique_ptr<char[]> scratch_;  // bytes staged for counting
    RunLock lock_;
    PartWriter part_;
    std::unique_ptr<PartPublisher> publisher_;
    std::uint64_t number_ = 0;
    std::uint64_t counted_ = 0;  // bytes of the part, for a sink that only counts
    bool countOnly_ = false;
    std::function<Clearance(bool wait, std::size_t waiting)> cleared_;
    bool namesRefused_ = false;
    std::unordered_set<std::string> takenAtStart_;  // keys of the part names already there
    std::unordered_set<std::string> written_;       // keys of the names this run gave
    Problem problem_;
};

}  // namespace tovane
