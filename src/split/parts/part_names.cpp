#include "split/parts/part_names.h"

#include "split/io/file_system.h"
#include "split/text/codec.h"
#include "split/text/heading_text.h"

namespace tovane {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string PartNaming::fileName(std::string_view baseName, std::uint64_t number,
                                 std::string_view title) const {
    std::string name(baseName);
    name += '_';
    const std::string digits = std::to_string(number);
    if (digits.size() < width) name.append(width - digits.size(), '0');
    name += digits;
    if (titled && !title.empty()) {
        name += ' ';
        name += title;
    }
    name += ".txt";
    return name;
}

std::string partPath(std::string_view saveFolder, std::string_view baseName, std::uint64_t number) {
    return std::string(saveFolder) + PartNaming{}.fileName(baseName, number);
}

// base_NUMBER.txt, base_000NUMBER.txt, base_NUMBER TITLE.txt.
bool parsePartName(std::string_view entry, std::string_view baseName, std::uint64_t& number) {
    constexpr std::string_view kExtension = ".txt";
    if (entry.size() < baseName.size() + 2 + kExtension.size()) return false;
    if (!files::sameName(entry.substr(0, baseName.size()), baseName) ||
        entry[baseName.size()] != '_' ||
        !files::sameName(entry.substr(entry.size() - kExtension.size()), kExtension)) {
        return false;
    }
    const std::string_view rest =
        entry.substr(baseName.size() + 1, entry.size() - baseName.size() - 1 - kExtension.size());
    std::size_t digits = 0;
    while (digits < rest.size() && isDigit(rest[digits])) ++digits;
    if (digits == 0 ||
        (digits < rest.size() && (rest[digits] != ' ' || digits + 1 == rest.size()))) {
        return false;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const auto digit = static_cast<std::uint64_t>(rest[i] - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    if (value == 0) return false;
    number = value;
    return true;
}

std::string titleForName(std::string_view heading, std::size_t most) {
    const std::u32string decoded = utf8Codec().decodeLine(heading);
    const std::u32string_view core = undecoratedHeading(decoded);
    std::u32string title;
    for (char32_t c : core) {
        switch (c) {
            case U'\\':
                c = U'＼';
                break;
            case U'/':
                c = U'／';
                break;
            case U':':
                c = U'：';
                break;
            case U'*':
                c = U'＊';
                break;
            case U'?':
                c = U'？';
                break;
            case U'"':
                c = U'＂';
                break;
            case U'<':
                c = U'＜';
                break;
            case U'>':
                c = U'＞';
                break;
            case U'|':
                c = U'｜';
                break;
            default:
                break;
        }
        const bool blank = isBlank(c) || c < 0x20 || c == 0x7F;
        if (blank) {
            if (!title.empty() && title.back() != U' ') title += U' ';
            continue;
        }
        if (title.size() == most) break;
        title += c;
    }
    while (!title.empty() && (title.back() == U' ' || title.back() == U'.')) title.pop_back();
    std::string name;
    for (char32_t c : title) name += utf8Codec().encode(c);
    return name;
}

std::string shortenedTitle(std::string_view title) {
    std::size_t end = title.size();
    while (end > 0 && (static_cast<unsigned char>(title[end - 1]) & 0xC0) == 0x80) --end;
    if (end > 0) --end;
    while (end > 0 && (title[end - 1] == ' ' || title[end - 1] == '.')) --end;
    return std::string(title.substr(0, end));
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

std::string_view partNameInHidden(std::string_view hidden) {
    const std::size_t tagged = 1 + kHiddenTag.size() + kTokenLength;
    return hidden.size() < tagged ? std::string_view() : hidden.substr(1, hidden.size() - tagged);
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
    return parsePartName(partNameInHidden(entry), baseName, number);
}

}  // namespace tovane
