#include "split/parts/part_sink.h"

#include <algorithm>
#include <cerrno>

#include "split/io/file_system.h"
#include "split/parts/part_in_progress.h"
#include "split/parts/part_names.h"
#include "split/split_texts.h"

namespace tovane {

PartSink::PartSink(std::string saveFolder, std::string baseName)
    : saveFolder_(std::move(saveFolder)), baseName_(std::move(baseName)) {}

bool PartSink::begin(FileIdentity source, std::string_view byteOrderMark, std::uint64_t mostParts) {
    source_ = source;
    byteOrderMark_ = byteOrderMark;
    publisher_ = std::make_unique<PartPublisher>(source);
    const std::string longest = partPath(saveFolder_, baseName_, mostParts);
    if (!files::nameFits(saveFolder_,
                         temporaryPartName(fileNameOf(longest), std::string(kTokenLength, '0')))) {
        return failWith(texts::cannotCreate(longest, ENAMETOOLONG));
    }
    const std::string lockPath = saveFolder_ + RunLock::fileName(baseName_);
    // A source under the lock's name would be opened as the lock and go with it.
    if (files::identityAt(lockPath) == source) return failWith(texts::sourceIsLock(lockPath));
    switch (lock_.take(lockPath, source)) {
        case RunLock::Result::Taken:
            break;
        case RunLock::Result::Busy:
            return failWith(texts::anotherRunWrites(baseName_));
        case RunLock::Result::IsSource:
            return failWith(texts::sourceIsLock(lockPath));
        case RunLock::Result::Failed:
            // The lock is the first file made there: the folder is what refuses.
            return failWith(texts::cannotWriteFolder(saveFolder_, lock_.error()));
    }
    return lookAtFolder();
}

// A name that a folder holds, or that leads to the source, is refused
// before anything is written to the part.
bool PartSink::nextPart() {
    if (number_ > 0 && !endPart()) return false;
    ++number_;
    const std::string path = partPath(saveFolder_, baseName_, number_);
    if (wasTaken(number_)) {
        std::string refusal = publisher_->refusal(path);
        if (!refusal.empty()) return failWith(std::move(refusal));
    }
    if (!part_.open(path)) return failWith(texts::cannotCreate(part_.path(), part_.error()));
    return write(byteOrderMark_);
}

bool PartSink::write(std::string_view bytes) {
    return part_.append(bytes) || failWrite();
}

// Closes the part being written and hands it on to be named.
bool PartSink::endPart() {
    PartInProgress::setFinishedWaiting(true);  // from before it stops being in progress
    if (!part_.finish()) return failWrite();
    publisher_->add(part_.temporaryPath(), part_.path(), part_.written(), !wasTaken(number_));
    if (publisher_->due() && !publisher_->publish()) return failWith(publisher_->message());
    return true;
}

bool PartSink::finish(bool keep) {
    bool ok = true;
    if (keep && number_ > 0) ok = endPart();
    // Complete parts are named first, before the part being written is
    // removed, so that a second request to stop finds none of them hidden.
    if (publisher_ != nullptr && !publisher_->publish()) ok = failWith(publisher_->message());
    if (!keep || !ok) part_.discard();
    if (published() > 0) {
        if (const int error = files::syncFolder(saveFolder_)) {
            ok = failWith(texts::cannotWrite(saveFolder_, error));
        }
    }
    lock_.release();
    return ok;
}

bool PartSink::wasTaken(std::uint64_t number) const {
    return std::binary_search(takenAtStart_.begin(), takenAtStart_.end(), number);
}

// Notes which part names are taken already, refusing when one of them leads
// to the source, and then removes the hidden parts of this base name that
// earlier runs left: a run that was killed or lost its power. The lock says
// that no run still writes them. The source is never removed, whatever its name.
bool PartSink::lookAtFolder() {
    std::string sourceName;  // the first part name that leads to the source
    std::uint64_t sourceNumber = 0;
    std::vector<std::string> leftovers;
    files::listFolder(saveFolder_, [&](std::string_view entry) {
        std::uint64_t number = 0;
        const std::string path = saveFolder_ + std::string(entry);
        if (parsePartName(entry, baseName_, number)) {
            takenAtStart_.push_back(number);
            if ((sourceNumber == 0 || number < sourceNumber) &&
                files::identityOf(path) == source_) {
                sourceName = entry;
                sourceNumber = number;
            }
        } else if (isTemporaryPartName(entry, baseName_)) {
            leftovers.push_back(path);
        }
    });
    if (!sourceName.empty()) return failWith(texts::partIsSource(saveFolder_ + sourceName));
    std::sort(takenAtStart_.begin(), takenAtStart_.end());
    for (const std::string& leftover : leftovers) {
        if (files::identityAt(leftover) != source_) files::removeFile(leftover);
    }
    return true;
}

// Parts numbered past this run's last one were left by an earlier run; they
// are named to the user, never removed.
std::string PartSink::leftFromBefore() const {
    const std::uint64_t last = published();
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    files::listFolder(saveFolder_, [&](std::string_view entry) {
        std::uint64_t number = 0;
        if (!parsePartName(entry, baseName_, number) || number <= last) return;
        if (files::identityOf(saveFolder_ + std::string(entry)) == source_) return;
        ++count;
        if (first == 0 || number < first) first = number;
    });
    if (count == 0) return {};
    return texts::partsLeftFromBefore(fileNameOf(partPath(saveFolder_, baseName_, first)), count);
}

bool PartSink::failWrite() {
    return failWith(texts::cannotWrite(part_.path(), part_.error()));
}

bool PartSink::failWith(std::string message) {
    if (message_.empty()) message_ = std::move(message);
    return false;
}

}  // namespace tovane
