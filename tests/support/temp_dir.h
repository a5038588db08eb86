// A folder of its own for each test, removed with everything in it afterwards,
// and small helpers to put files there and read them back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovane::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path with a trailing "/", ready to be a save folder.
    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + std::string(name); }

    std::string write(std::string_view name, std::string_view bytes) const;
    std::string makeDir(std::string_view name) const;
    // Names of the entries in the folder, sorted.
    std::vector<std::string> list(std::string_view subfolder = {}) const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);
bool exists(const std::string& path);

}  // namespace tovane::test
