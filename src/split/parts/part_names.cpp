#include "split/parts/part_names.h"

#include "split/io/file_system.h"

namespace tovane {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string partPath(std::string_view saveFolder, std::string_view baseName, std::uint64_t number) {
    std::string path(saveFolder);
    path += baseName;
    path += '_';
    path += std::to_string(number);
    path += ".txt";
    return path;
}

bool parsePartName(std::string_view entry, std::string_view baseName, std::uint64_t& number) {
    constexpr std::string_view kExtension = ".txt";
    if (entry.size() < baseName.size() + 2 + kExtension.size()) return false;
    const std::string_view digits =
        entry.substr(baseName.size() + 1, entry.size() - baseName.size() - 1 - kExtension.size());
    if (!files::sameName(entry.substr(0, baseName.size()), baseName) ||
        entry[baseName.size()] != '_' ||
        !files::sameName(entry.substr(entry.size() - kExtension.size()), kExtension) ||
        digits.size() > 19 || digits[0] == '0') {
        return false;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c)) return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    number = value;
    return true;
}

bool isPlainFileName(std::string_view name) {
    if (name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '\0' || files::isPathSeparator(c)) return false;
    }
    return true;
}

std::string_view fileNameOf(std::string_view path) {
    std::size_t start = path.size();
    while (start > 0 && !files::isPathSeparator(path[start - 1])) --start;
    return path.substr(start);
}

std::string_view baseNameOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

std::string_view folderOf(std::string_view path) {
    return path.substr(0, path.size() - fileNameOf(path).size());
}

std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && !files::isPathSeparator(folder.back())) {
        folder += files::pathSeparator();
    }
    return folder;
}

namespace {

constexpr std::string_view kHiddenTag = ".tovane-";

}  // namespace

std::string temporaryPartName(std::string_view finalName, std::string_view token) {
    std::string name = ".";
    name += finalName;
    name += kHiddenTag;
    name += token;
    return name;
}

bool isTemporaryPartName(std::string_view entry, std::string_view baseName) {
    // "." + base + "_" + number + ".txt" + ".tovane-" + token
    const std::size_t tagged = kHiddenTag.size() + kTokenLength;
    if (entry.size() < 1 + tagged || entry[0] != '.') return false;
    const std::size_t tag = entry.size() - tagged;
    if (entry.substr(tag, kHiddenTag.size()) != kHiddenTag) return false;
    for (char c : entry.substr(tag + kHiddenTag.size())) {
        if (!isDigit(c) && !(c >= 'a' && c <= 'z')) return false;
    }
    std::uint64_t number = 0;
    return parsePartName(entry.substr(1, tag - 1), baseName, number);
}

}  // namespace tovane
