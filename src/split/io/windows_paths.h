// Paths and errors at the Win32 boundary: the engine's UTF-8 paths as the
// UTF-16 the system takes (with the \\?\ prefix where a path is too long for
// the old limit), and the system's error codes as their errno twins.
#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

namespace tovane::windows {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// `path` as the file calls take it; long paths made absolute and prefixed.
std::wstring systemPath(const std::string& path);
// The errno value that stands for a Win32 error code.
int errnoFromWin32(unsigned long code);
// The same for a failure to create or name `path`: a name longer than any
// file system takes is reported as such, whatever code the system chose.
int errnoForName(const std::wstring& path, unsigned long code);

}  // namespace tovane::windows

#endif
