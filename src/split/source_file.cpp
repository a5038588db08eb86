#include "split/source_file.h"

namespace tovane {

bool SourceFile::open(const std::string& path) {
    opened_ = {};
    if (!file_.openForReading(path)) return false;
    if (!file_.stamp(opened_)) {
        file_.close();
        return false;
    }
    return true;
}

bool SourceFile::changedSinceOpen() {
    FileStamp now;
    return !file_.stamp(now) || !(now == opened_);
}

}  // namespace tovane
