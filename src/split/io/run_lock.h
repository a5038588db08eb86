// The mark that a run is writing parts of one base name into one folder: a
// lock on a hidden file there, held for the run's whole life and let go by
// the system when the process ends however it ends, so that nothing stale
// can stand in the next run's way. A run that holds it owns every hidden
// part of its base name in the folder; a second one is refused.
#pragma once

#include <cstdint>
#include <string>

#include "split/io/native_file.h"

namespace tovane {

class RunLock {
public:
    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    enum class Result { Taken, Busy, IsSource, Failed };
    // Takes the lock whose file is `path` (the folder and fileName()), or
    // says another run holds it; IsSource when that file turns out to be
    // `source`, which is then left as it was; Failed with error() when the
    // lock file can't be made.
    Result take(const std::string& path, FileIdentity source);
    // Lets it go, removing the lock file if it is still the one held.
    void release();

    int error() const { return error_; }
    // The lock file's name for a base name: "." + the base name +
    // ".tovane-lock", which no hidden part name of any base name matches
    // (their tags end in a token of another length).
    static std::string fileName(const std::string& baseName);

private:
    std::intptr_t handle_ = -1;
    std::string path_;
    int error_ = 0;
};

}  // namespace tovane
