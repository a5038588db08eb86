// The mark that a run is writing parts of one base name into one folder: a
// lock on a hidden file there, held for the run's whole life and let go by
// the system when the process ends however it ends, so that nothing stale
// can stand in the next run's way. A run that holds it owns every hidden
// part of its base name in the folder; a second one is refused.
#pragma once

#include <cstdint>
#include <string>

namespace tovane {

class RunLock {
public:
    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    enum class Result { Taken, Busy, Failed };
    // Takes the lock of `baseName` in `folder` (ending in a separator), or
    // says another run holds it; Failed with error() when the lock file
    // can't be made.
    Result take(const std::string& folder, const std::string& baseName);
    // Lets it go, removing the lock file.
    void release();

    int error() const { return error_; }
    // The lock file's name for a base name.
    static std::string fileName(const std::string& baseName);

private:
    std::intptr_t handle_ = -1;
    std::string path_;
    int error_ = 0;
};

}  // namespace tovane
