#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "split/io/file_system.h"

namespace tovane::files {

EntryKind kindAt(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0) return EntryKind::None;
    if (S_ISREG(info.st_mode)) return EntryKind::File;
    if (S_ISDIR(info.st_mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileIdentity> identityAt(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int renameReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int renameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    return errno == EEXIST ? EEXIST : errno == EINVAL || errno == ENOSYS ? ENOTSUP : errno;
#else
    (void)from;
    (void)to;
    return ENOTSUP;
#endif
}

int removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

void listFolder(const std::string& folder, const std::function<void(std::string_view)>& visit) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) visit(entry->d_name);
    ::closedir(dir);
}

int makeDurable(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
#ifdef __linux__
    // One pass over the whole file system costs far less than one flush per part.
    const int error = ::syncfs(fd) == 0 ? 0 : errno;
#else
    ::sync();
    const int error = 0;
#endif
    ::close(fd);
    return error;
}

int syncFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    // Some file systems can't sync a folder (EINVAL): their names are as safe as they get.
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

bool nameFits(const std::string& folder, std::string_view name) {
    const long most = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    const std::size_t longest = most > 0 ? static_cast<std::size_t>(most) : 255;
    return name.size() <= longest && folder.size() + name.size() < PATH_MAX;
}

bool sameName(std::string_view a, std::string_view b) {
    return a == b;
}

std::string nameKey(std::string_view name) {
    return std::string(name);
}

bool isPathSeparator(char c) {
    return c == '/';
}

char pathSeparator() {
    return '/';
}

}  // namespace tovane::files
