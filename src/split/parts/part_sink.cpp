#include "split/parts/part_sink.h"

#include <algorithm>

#include "split/io/file_system.h"
#include "split/parts/part_names.h"
#include "split/split_texts.h"

namespace tovane {

PartSink::PartSink(std::string saveFolder, std::string baseName)
    : saveFolder_(std::move(saveFolder)),
      baseName_(std::move(baseName)),
      process_(files::currentProcessId()) {}

bool PartSink::begin(FileIdentity source, std::string_view byteOrderMark) {
    byteOrderMark_ = byteOrderMark;
    publisher_ = std::make_unique<PartPublisher>(source);
    lookAtFolder();
    return true;
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
    if (!part_.open(path, process_)) {
        return failWith(texts::cannotCreate(part_.path(), part_.error()));
    }
    return write(byteOrderMark_);
}

bool PartSink::write(std::string_view bytes) {
    return part_.append(bytes) || failWrite();
}

// Closes the part being written and hands it on to be named.
bool PartSink::endPart() {
    if (!part_.finish()) return failWrite();
    publisher_->add(part_.temporaryPath(), part_.path(), part_.written(), !wasTaken(number_));
    if (publisher_->due() && !publisher_->publish()) return failWith(publisher_->message());
    return true;
}

bool PartSink::finish(bool keep) {
    bool ok = true;
    if (keep && number_ > 0) {
        ok = endPart();
    } else {
        part_.discard();
    }
    if (publisher_ != nullptr && !publisher_->publish()) ok = failWith(publisher_->message());
    return ok;
}

bool PartSink::wasTaken(std::uint64_t number) const {
    return std::binary_search(takenAtStart_.begin(), takenAtStart_.end(), number);
}

// Notes which part names are taken already, and removes hidden parts of this
// base name whose writer is gone: a run that was killed or lost its power
// left them.
void PartSink::lookAtFolder() {
    const std::string prefix = saveFolder_ + baseName_;
    const std::string folder(folderOf(prefix));
    const std::string_view stem = fileNameOf(prefix);
    files::listFolder(folder, [&](std::string_view entry) {
        std::uint64_t number = 0;
        if (parsePartName(entry, stem, number)) takenAtStart_.push_back(number);
        std::uint64_t writer = 0;
        if (parseTemporaryPartName(entry, stem, writer) && writer != process_ &&
            !files::processIsAlive(writer)) {
            files::removeFile(folder + std::string(entry));
        }
    });
    std::sort(takenAtStart_.begin(), takenAtStart_.end());
}

// Parts numbered past this run's last one were left by an earlier run; they
// are named to the user, never removed.
std::string PartSink::leftFromBefore() const {
    const std::uint64_t first = published() + 1;
    std::uint64_t count = 0;
    while (files::kindAt(partPath(saveFolder_, baseName_, first + count)) !=
           files::EntryKind::None) {
        ++count;
    }
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
