// The file-system calls of the engine beyond one open file: what stands at a
// name, renaming, removing, listing a folder, making written data and names
// durable, and the limits on names. POSIX or Win32, chosen when the engine is
// compiled; paths are UTF-8 and errors errno values on both sides.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "split/io/native_file.h"

namespace tovane::files {

enum class EntryKind { None, File, Folder, Other };

// What stands at `path` itself, a link not followed.
EntryKind kindAt(const std::string& path);
// The file `path` leads to, links followed; nothing when there is none.
std::optional<FileIdentity> identityOf(const std::string& path);
// The entry at `path` itself, a link not followed.
std::optional<FileIdentity> identityAt(const std::string& path);

// An existing regular file at `path`, links followed (what the source check asks).
bool isRegularFile(const std::string& path);
// An existing folder at `path`, links followed (what the save-folder check asks).
bool isDirectory(const std::string& path);

// Gives the file `from` the name `to` in one step, replacing whatever file or
// link had that name without opening it. 0, or an errno value.
int renameReplacing(const std::string& from, const std::string& to);
// The same, but only where nothing has the name `to`: EEXIST when something
// has; ENOTSUP when the file system can't tell, so the caller must look.
int renameNoReplace(const std::string& from, const std::string& to);
// Removes a file or link. 0, or an errno value.
int removeFile(const std::string& path);

// Calls `visit` with the name of every entry of `folder`.
void listFolder(const std::string& folder, const std::function<void(std::string_view)>& visit);

// Writes every file's data on the file system that holds `folder` through to
// the disk, so that names given afterwards never lead to missing data after a
// power cut. 0, or an errno value.
int makeDurable(const std::string& folder);
// Writes the folder's own entries through to the disk: the names given in it
// so far survive a power cut. 0, or an errno value.
int syncFolder(const std::string& folder);

// Whether a file named `name` can be made in `folder`: the name and the whole
// path are within what the file system takes.
bool nameFits(const std::string& folder, std::string_view name);

// Whether two file names name the same entry of a folder: exactly on POSIX,
// regardless of case on Windows.
bool sameName(std::string_view a, std::string_view b);
// A key that two names of the same entry share (see sameName).
std::string nameKey(std::string_view name);

// Whether `c` separates folders in a path on this system.
bool isPathSeparator(char c);
// The separator a folder path ends in on this system.
char pathSeparator();

}  // namespace tovane::files
