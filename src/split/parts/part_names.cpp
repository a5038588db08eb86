#include "split/parts/part_names.h"

#include "split/io/file_system.h"

namespace tovane {

namespace {

constexpr std::string_view kShortPrefix = ".tovane-";
constexpr std::string_view kShortSuffix = ".tmp";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads "<digits>-<token>" from the end of a hidden name, the process id first.
bool parseProcessAndToken(std::string_view tail, std::uint64_t& processId) {
    const std::size_t dash = tail.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10) return false;
    std::uint64_t id = 0;
    for (char c : tail.substr(0, dash)) {
        if (!isDigit(c)) return false;
        id = id * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const std::string_view token = tail.substr(dash + 1);
    if (token.size() != 6) return false;
    for (char c : token) {
        if (!isDigit(c) && !(c >= 'a' && c <= 'z')) return false;
    }
    processId = id;
    return true;
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

std::string temporaryPartName(std::string_view finalName, std::uint64_t processId,
                              std::string_view token) {
    std::string name = ".";
    name += finalName;
    name += '.';
    name += std::to_string(processId);
    name += '-';
    name += token;
    return name;
}

std::string shortTemporaryPartName(std::uint64_t processId, std::string_view token) {
    std::string name(kShortPrefix);
    name += std::to_string(processId);
    name += '-';
    name += token;
    name += kShortSuffix;
    return name;
}

bool parseTemporaryPartName(std::string_view entry, std::string_view baseName,
                            std::uint64_t& processId) {
    if (entry.substr(0, kShortPrefix.size()) == kShortPrefix &&
        entry.size() > kShortSuffix.size() &&
        entry.substr(entry.size() - kShortSuffix.size()) == kShortSuffix) {
        entry.remove_prefix(kShortPrefix.size());
        entry.remove_suffix(kShortSuffix.size());
        return parseProcessAndToken(entry, processId);
    }
    // "." + base + "_" + number + ".txt." + process + "-" + token
    if (entry.size() < baseName.size() + 2 || entry[0] != '.' ||
        entry.substr(1, baseName.size()) != baseName || entry[baseName.size() + 1] != '_') {
        return false;
    }
    entry.remove_prefix(baseName.size() + 2);
    std::size_t digits = 0;
    while (digits < entry.size() && isDigit(entry[digits])) ++digits;
    constexpr std::string_view kExtension = ".txt.";
    if (digits == 0 || entry.substr(digits, kExtension.size()) != kExtension) return false;
    return parseProcessAndToken(entry.substr(digits + kExtension.size()), processId);
}

}  // namespace tovane
