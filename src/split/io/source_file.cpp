#include "split/io/source_file.h"

#include <algorithm>

#include "split/text/text_encoding.h"

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

bool SourceFile::readEncodingSample(std::string& sample) {
    sample.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size(), kEncodingSampleSize)));
    const std::int64_t got = readAt(0, sample.data(), sample.size());
    if (got < 0) return false;
    sample.resize(static_cast<std::size_t>(got));
    return true;
}

bool SourceFile::changedSinceOpen() {
    FileStamp now;
    return !file_.stamp(now) || !(now == opened_);
}

}  // namespace tovane
