#include <windows.h>

#include <cerrno>

#include "split/io/file_system.h"
#include "split/io/windows_paths.h"

namespace tovane::files {

namespace {

DWORD attributesOf(const std::string& path) {
    if (path.empty()) return INVALID_FILE_ATTRIBUTES;
    return ::GetFileAttributesW(windows::systemPath(path).c_str());
}

// Whether another program holds the file open without letting it be
// replaced: what a refused rename most often means to a user.
bool isInUse(const std::wstring& path) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

EntryKind kindAt(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::None;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return EntryKind::Other;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryKind::Folder;
    return EntryKind::File;
}

namespace {

// No access asked for, so that a file open in another program can be looked at too.
std::optional<FileIdentity> identityWith(const std::string& path, DWORD flags) {
    if (path.empty()) return std::nullopt;
    const HANDLE file =
        ::CreateFileW(windows::systemPath(path).c_str(), 0,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = ::GetFileInformationByHandle(file, &info) != 0;
    ::CloseHandle(file);
    if (!ok) return std::nullopt;
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> identityOf(const std::string& path) {
    return identityWith(path, 0);
}

std::optional<FileIdentity> identityAt(const std::string& path) {
    return identityWith(path, FILE_FLAG_OPEN_REPARSE_POINT);
}

bool isRegularFile(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool isDirectory(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

int rename(const std::string& from, const std::string& to, bool replacing) {
    const std::wstring source = windows::systemPath(from);
    const std::wstring target = windows::systemPath(to);
    // Virus scanners, indexers and another run naming the same part hold a
    // fresh file for a moment; a refusal is tried again for about a second.
    for (int attempt = 0;; ++attempt) {
        // A file marked read-only is kept, as Windows itself keeps it (Wine doesn't).
        const DWORD attributes =
            replacing ? ::GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return EACCES;
        }
        if (::MoveFileExW(source.c_str(), target.c_str(),
                          replacing ? MOVEFILE_REPLACE_EXISTING : 0)) {
            break;
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return EEXIST;
        const bool refused = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION;
        if (!refused || attempt == 40) {
            if (refused && isInUse(target)) return kErrorFileInUse;
            return windows::errnoForName(target, code);
        }
        ::Sleep(25);
    }
    // Written under a hidden name, shown under its own.
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    return 0;
}

}  // namespace

int renameReplacing(const std::string& from, const std::string& to) {
    return rename(from, to, true);
}

int renameNoReplace(const std::string& from, const std::string& to) {
    return rename(from, to, false);
}

int removeFile(const std::string& path) {
    return ::DeleteFileW(windows::systemPath(path).c_str())
               ? 0
               : windows::errnoFromWin32(::GetLastError());
}

void listFolder(const std::string& folder, const std::function<void(std::string_view)>& visit) {
    std::string pattern = folder.empty() ? std::string(".") : folder;
    if (!isPathSeparator(pattern.back())) pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileExW(windows::systemPath(pattern).c_str(), FindExInfoBasic,
                                             &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        visit(windows::narrow(entry.cFileName));
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
}

int makeDurable(const std::string& /*folder*/) {
    // Windows has no call for a whole volume short of flushing it with
    // administrator rights; parts are named once the system has their data.
    return 0;
}

int syncFolder(const std::string& /*folder*/) {
    // Windows writes a folder's entries as part of naming a file.
    return 0;
}

bool nameFits(const std::string& /*folder*/, std::string_view name) {
    // 255 UTF-16 units on every file system Windows writes to (NTFS, FAT32,
    // exFAT, ReFS, SMB shares); paths themselves may be longer, with \\?\.
    constexpr std::size_t kLongestName = 255;
    return windows::widen(name).size() <= kLongestName;
}

bool sameName(std::string_view a, std::string_view b) {
    const std::wstring wideA = windows::widen(a);
    const std::wstring wideB = windows::widen(b);
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::string nameKey(std::string_view name) {
    std::wstring wide = windows::widen(name);
    ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return windows::narrow(wide);
}

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

char pathSeparator() {
    return '\\';
}

}  // namespace tovane::files
