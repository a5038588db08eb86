#include "split/io/native_file.h"

namespace tovane {

namespace {

std::atomic<std::uint64_t> readingOpens{0};

}  // namespace

bool NativeFile::abandon() {
    const int error = error_;
    close();
    error_ = error;
    return false;
}

std::uint64_t NativeFile::openedForReading() {
    return readingOpens.load(std::memory_order_relaxed);
}

void NativeFile::countOpenForReading() {
    readingOpens.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace tovane
