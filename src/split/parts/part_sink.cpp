#include "split/parts/part_sink.h"

#include <algorithm>
#include <cerrno>

#include "split/io/file_system.h"
#include "split/parts/part_in_progress.h"

namespace tovane {

namespace {

using Kind = Problem::Kind;

// Bytes staged for counting at a time.
constexpr std::size_t kScratch = std::size_t{64} << 10;

}  // namespace

PartSink::PartSink(std::string saveFolder, std::string baseName, PartNaming naming)
    : saveFolder_(std::move(saveFolder)), baseName_(std::move(baseName)), naming_(naming) {}

bool PartSink::begin(FileIdentity source, std::string_view mark, std::uint64_t mostParts) {
    source_ = source;
    byteOrderMark_ = mark;
    if (countOnly_) {
        scratch_.reset(new char[kScratch]);
        return true;
    }
    publisher_ = std::make_unique<PartPublisher>(source);
    if (const std::uint64_t number = firstNameTooLong(mostParts); number != 0) {
        return failWith(Problem::about(
            Kind::CannotCreate, saveFolder_ + naming_.fileName(baseName_, number), ENAMETOOLONG));
    }
    const std::string lockPath = saveFolder_ + RunLock::fileName(baseName_);
    // A source under the lock's name would be opened as the lock and go with it.
    if (files::identityAt(lockPath) == source)
        return failWith(Problem::about(Kind::SourceIsLock, lockPath));
    switch (lock_.take(lockPath, source)) {
        case RunLock::Result::Taken:
            break;
        case RunLock::Result::Busy:
            return failWith(Problem::about(Kind::AnotherRunWrites, baseName_));
        case RunLock::Result::IsSource:
            return failWith(Problem::about(Kind::SourceIsLock, lockPath));
        case RunLock::Result::Failed:
            // The lock is the first file made there: the folder is what refuses.
            return failWith(Problem::about(Kind::CannotWriteFolder, saveFolder_, lock_.error()));
    }
    return lookAtFolder();
}

// A name grows only with its number's digits (a title is cut to fit), so the
// parts whose names may not fit first are 1, 10, 100 … up to `mostParts`:
// the first of them whose name, hidden or not, the folder would refuse; 0
// when all fit.
std::uint64_t PartSink::firstNameTooLong(std::uint64_t mostParts) const {
    const auto fits = [this](std::uint64_t number) {
        const std::string name = naming_.fileName(baseName_, number);
        return files::nameFits(saveFolder_,
                               temporaryPartName(name, std::string(kTokenLength, '0')));
    };
    for (std::uint64_t number = 1; number <= mostParts; number *= 10) {
        if (!fits(number)) return number;
        if (number > mostParts / 10) break;
    }
    return fits(mostParts) ? 0 : mostParts;
}

// The name of the next part: its title cut, a character at a time, until
// the name and its hidden form fit the folder, and 255 bytes of UTF-8 too,
// so that the part can be copied on to a phone (whose file systems count
// bytes, where Windows counts UTF-16 units).
std::string PartSink::nameOfPart(std::string_view title) const {
    constexpr std::size_t kPortableNameBytes = 255;
    std::string fitted(title);
    while (true) {
        const std::string name = naming_.fileName(baseName_, number_, fitted);
        const std::string hidden = temporaryPartName(name, std::string(kTokenLength, '0'));
        if (fitted.empty() ||
            (hidden.size() <= kPortableNameBytes && files::nameFits(saveFolder_, hidden))) {
            return name;
        }
        fitted = shortenedTitle(fitted);
    }
}

// A name that a folder holds, or that leads to the source, is refused
// before anything is written to the part.
bool PartSink::nextPart(std::string_view title) {
    if (number_ > 0 && !endPart()) return false;
    ++number_;
    if (countOnly_) {
        counted_ = byteOrderMark_.size();
        return true;
    }
    const std::string path = saveFolder_ + nameOfPart(title);
    if (takenAtStart_.count(files::nameKey(fileNameOf(path))) != 0) {
        Problem refusal = publisher_->refusal(path);
        if (refusal) return failWith(std::move(refusal));
    }
    if (!part_.open(path)) {
        if (part_.writeFailed()) return failWrite();
        return failWith(Problem::about(Kind::CannotCreate, part_.path(), part_.error()));
    }
    return part_.append(byteOrderMark_) || failWrite();
}

bool PartSink::write(std::string_view bytes) {
    if (countOnly_) {
        counted_ += bytes.size();
        return true;
    }
    return part_.append(bytes) || failWrite();
}

bool PartSink::staging(PartWriter::Staging& area) {
    if (countOnly_) {
        area = {scratch_.get(), kScratch};
        return true;
    }
    return part_.staging(area) || failWrite();
}

bool PartSink::writeStaged(std::size_t size) {
    if (countOnly_) return write({scratch_.get(), size});
    return part_.appendStaged(size) || failWrite();
}

// Closes the part being written and hands it on to be named.
bool PartSink::endPart() {
    if (countOnly_) return true;
    PartInProgress::setFinishedWaiting(true);  // from before it stops being in progress
    if (!part_.finish()) return failWrite();
    written_.insert(files::nameKey(fileNameOf(part_.path())));
    const bool wasFree = takenAtStart_.count(files::nameKey(fileNameOf(part_.path()))) == 0;
    publisher_->add(part_.temporaryPath(), part_.path(), part_.written(), wasFree);
    if (publisher_->due()) {
        switch (clearance(publisher_->waiting() >= kMostHeldBack)) {
            case Clearance::Refused:
                return false;
            case Clearance::NotYet:
                return true;  // written on under hidden names meanwhile
            case Clearance::Cleared:
                break;
        }
        if (!settlePart()) return failWrite();
        if (!publisher_->publish()) return failWith(publisher_->problem());
    }
    return true;
}

PartSink::Clearance PartSink::clearance(bool wait) {
    if (namesRefused_) return Clearance::Refused;
    if (!cleared_) return Clearance::Cleared;
    const Clearance answer = cleared_(wait, publisher_ ? publisher_->waiting() : 0);
    if (answer == Clearance::NotYet) return answer;
    cleared_ = nullptr;
    if (answer == Clearance::Cleared) return answer;
    namesRefused_ = true;
    settlePart();  // the part finishing behind is let go too
    publisher_->abandonAll();
    failWith(Problem::about(Kind::CannotConvert, saveFolder_));
    return answer;
}

bool PartSink::finish(bool keep) {
    if (countOnly_) return true;
    bool ok = true;
    if (keep && number_ > 0) ok = endPart();
    // Complete parts are named first, before the part being written is
    // removed, so that a second request to stop finds none of them hidden.
    if (publisher_ != nullptr) {
        if (clearance(true) != Clearance::Cleared) {
            ok = false;
        } else {
            if (!settlePart()) ok = failWrite();
            if (!publisher_->publish()) ok = failWith(publisher_->problem());
        }
    }
    if (!keep || !ok) part_.discard();
    if (published() > 0) {
        if (const int error = files::syncFolder(saveFolder_)) {
            ok = failWith(Problem::about(Kind::CannotWrite, saveFolder_, error));
        }
    }
    lock_.release();
    return ok;
}

std::uint64_t PartSink::published() const {
    if (countOnly_) return number_;
    return publisher_ ? publisher_->published() : 0;
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
            takenAtStart_.insert(files::nameKey(entry));
            if ((sourceNumber == 0 || number < sourceNumber) &&
                files::identityOf(path) == source_) {
                sourceName = entry;
                sourceNumber = number;
            }
        } else if (isTemporaryPartName(entry, baseName_)) {
            leftovers.push_back(path);
        }
    });
    if (!sourceName.empty())
        return failWith(Problem::about(Kind::PartIsSource, saveFolder_ + sourceName));
    for (const std::string& leftover : leftovers) {
        if (files::identityAt(leftover) != source_ && !mayBeAnotherBases(fileNameOf(leftover))) {
            files::removeFile(leftover);
        }
    }
    return true;
}

// A titled hidden name can read as a part of a longer base name too: that
// of "a" titled "b_2" is also that of "a_1 b" numbered 2. It is left alone
// while a lock of such a base name stands in the folder, for that run may
// be writing it.
bool PartSink::mayBeAnotherBases(std::string_view hidden) const {
    const std::string_view name = partNameInHidden(hidden);
    for (std::size_t at = name.find('_', baseName_.size() + 1); at != std::string_view::npos;
         at = name.find('_', at + 1)) {
        const std::string other(name.substr(0, at));
        if (files::identityAt(saveFolder_ + RunLock::fileName(other))) return true;
    }
    return false;
}

// Parts this run didn't name, of any naming, were left by an earlier run;
// they are named to the user, never removed.
Problem PartSink::leftFromBefore() const {
    if (countOnly_) return {};
    std::string first;
    std::uint64_t firstNumber = 0;
    std::uint64_t count = 0;
    files::listFolder(saveFolder_, [&](std::string_view entry) {
        std::uint64_t number = 0;
        if (!parsePartName(entry, baseName_, number) ||
            written_.count(files::nameKey(entry)) != 0) {
            return;
        }
        if (files::identityOf(saveFolder_ + std::string(entry)) == source_) return;
        ++count;
        if (first.empty() || number < firstNumber) {
            first = entry;
            firstNumber = number;
        }
    });
    if (count == 0) return {};
    return Problem::partsLeftFromBefore(first, count);
}

// Waits for the part finishing behind, which is the one handed on last: if
// its writing failed, it isn't complete after all.
bool PartSink::settlePart() {
    const bool settled = part_.settle();
    publisher_->dropLast(part_.takeFailedParts());
    return settled;
}

bool PartSink::failWrite() {
    publisher_->dropLast(part_.takeFailedParts());
    return failWith(Problem::about(Kind::CannotWrite, part_.failedPath(), part_.error()));
}

bool PartSink::failWith(Problem problem) {
    if (!problem_) problem_ = std::move(problem);
    return false;
}

}  // namespace tovane
