#include "split/io/source_file.h"

namespace tovane {

bool SourceFile::open(const std::string& path) {
    opened_ = {};
    error_ = 0;
    format_.reset();
    formatTold_ = false;
    if (!file_.openForReading(path)) return false;
    if (!file_.stamp(opened_)) {
        file_.close();
        return false;
    }
    char probe = 0;
    if (opened_.size == 0 && file_.readAt(0, &probe, 1) > 0) {
        file_.close();
        error_ = kErrorSizeUnknown;
        return false;
    }
    return true;
}

const std::optional<SourceFormat>& SourceFile::format() {
    if (!formatTold_) {
        format_ = detectFormat([this](std::uint64_t offset, char* into,
                                      std::size_t size) { return readAt(offset, into, size); },
                               size(), asked_);
        formatTold_ = true;
    }
    return format_;
}

bool SourceFile::changedSinceOpen() {
    FileStamp now;
    return !file_.stamp(now) || !(now == opened_);
}

}  // namespace tovane
