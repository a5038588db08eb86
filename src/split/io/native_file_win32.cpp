#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "split/io/native_file.h"
#include "split/io/windows_paths.h"

namespace tovane {

namespace {

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::uint64_t combine(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// Small spans are gathered into one buffer so that a run of short lines
// doesn't cost a system call each.
constexpr std::size_t kGatherBytes = std::size_t{64} << 10;
constexpr std::size_t kSmallSpan = std::size_t{4} << 10;

}  // namespace

NativeFile::~NativeFile() {
    if (isOpen()) ::CloseHandle(handleOf(handle_));
}

bool NativeFile::isOpen() const {
    return handle_ != -1;
}

bool NativeFile::readStatus(FileStamp* stamp) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(handle_), &info)) {
        error_ = windows::errnoFromWin32(::GetLastError());
        return false;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = EINVAL;
        return false;
    }
    identity_ = {info.dwVolumeSerialNumber, combine(info.nFileIndexHigh, info.nFileIndexLow)};
    if (stamp != nullptr) {
        *stamp = {combine(info.nFileSizeHigh, info.nFileSizeLow),
                  static_cast<std::int64_t>(combine(info.ftLastWriteTime.dwHighDateTime,
                                                    info.ftLastWriteTime.dwLowDateTime))};
    }
    return true;
}

bool NativeFile::openForReading(const std::string& path) {
    close();
    countOpenForReading();
    // Shared with everyone, so that a novel open in an editor can still be split.
    const HANDLE file = ::CreateFileW(windows::systemPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = windows::errnoFromWin32(::GetLastError());
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        error_ = EINVAL;  // a pipe or a device: nothing to split
        return abandon();
    }
    return readStatus(nullptr) || abandon();
}

bool NativeFile::createNew(const std::string& path, bool hidden) {
    close();
    const std::wstring name = windows::systemPath(path);
    const HANDLE file =
        ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      CREATE_NEW, hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = windows::errnoForName(name, ::GetLastError());
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

std::int64_t NativeFile::readAt(std::uint64_t offset, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const auto want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handleOf(handle_), buffer + done, want, &got, &at)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_HANDLE_EOF) break;
            error_ = windows::errnoFromWin32(code);
            return -1;
        }
        if (got == 0) break;
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

bool NativeFile::writeAll(const ByteSpan* spans, std::size_t count) {
    static thread_local char gathered[kGatherBytes];
    std::size_t held = 0;
    auto write = [this](const char* data, std::size_t size) {
        while (size > 0) {
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            DWORD done = 0;
            if (!::WriteFile(handleOf(handle_), data, chunk, &done, nullptr)) {
                error_ = windows::errnoFromWin32(::GetLastError());
                return false;
            }
            data += done;
            size -= done;
        }
        return true;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const ByteSpan& span = spans[i];
        if (span.size <= kSmallSpan) {
            if (held + span.size > kGatherBytes) {
                if (!write(gathered, held)) return false;
                held = 0;
            }
            std::memcpy(gathered + held, span.data, span.size);
            held += span.size;
            continue;
        }
        if (held > 0 && !write(gathered, held)) return false;
        held = 0;
        if (!write(span.data, span.size)) return false;
    }
    return held == 0 || write(gathered, held);
}

bool NativeFile::stamp(FileStamp& stamp) {
    return isOpen() && readStatus(&stamp);
}

bool NativeFile::close() {
    if (!isOpen()) return true;
    const HANDLE file = handleOf(handle_);
    handle_ = -1;
    if (!::CloseHandle(file)) {
        error_ = windows::errnoFromWin32(::GetLastError());
        return false;
    }
    return true;
}

}  // namespace tovane
