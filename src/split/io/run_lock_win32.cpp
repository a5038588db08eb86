#include <windows.h>

#include <cerrno>

#include "split/io/run_lock.h"
#include "split/io/windows_paths.h"

namespace tovane {

// A file opened without sharing: no one else can open it while we hold it,
// also on a network share, and it goes when the last handle closes.
// The source, which is open for reading, can't be opened so: a lock file
// that is the source is refused as held.
RunLock::Result RunLock::take(const std::string& path, FileIdentity /*source*/) {
    release();
    path_ = path;
    const std::wstring name = windows::systemPath(path_);
    for (int attempt = 0;; ++attempt) {
        const HANDLE file =
            ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(file);
            return Result::Taken;
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_SHARING_VIOLATION) return Result::Busy;
        // A lock file that its last run let go of a moment ago is still
        // being removed: refused for that moment as if it were read-only.
        if (code != ERROR_ACCESS_DENIED || attempt == 20) {
            error_ = windows::errnoForName(name, code);
            return Result::Failed;
        }
        ::Sleep(10);
    }
}

void RunLock::release() {
    if (handle_ == -1) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

}  // namespace tovane
