#include "support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tovane::test {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 throughout, as the engine takes them, also where the
// system's narrow code page is another.
fs::path toPath(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TempDir::TempDir() {
    // A fresh name each time: create_directory refuses one that exists.
    static std::uint64_t counter =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        counter = counter * 6364136223846793005ull + 1442695040888963407ull;
        const fs::path candidate = base / ("tovane-test-" + std::to_string(counter >> 24));
        if (fs::create_directory(candidate)) {
            path_ = fromPath(candidate) + "/";
            return;
        }
    }
    throw std::runtime_error("no fresh temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests may leave folders without permissions behind; give them back first.
    for (auto it = fs::recursive_directory_iterator(toPath(path_), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(toPath(path_), ignored);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
    const std::string path = file(name);
    writeFile(path, bytes);
    return path;
}

std::string TempDir::makeDir(std::string_view name) const {
    const std::string path = file(name);
    fs::create_directories(toPath(path));
    return path + "/";
}

std::vector<std::string> TempDir::list(std::string_view subfolder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(toPath(file(subfolder)))) {
        names.push_back(fromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const std::string& path) {
    std::ifstream in(toPath(path), std::ios::binary);
    if (!in) throw std::runtime_error("can't read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(toPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("can't write " + path);
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(toPath(path), ignored);
}

}  // namespace tovane::test
