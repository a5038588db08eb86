// Tells whether a line is a chapter heading, reading the line in the
// source's own encoding without converting the file: the built-in rule
// matches a heading's characters as that encoding's bytes, always from a
// character boundary, and a user's regular expression is matched against
// the line decoded.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <regex>
#include <string>
#include <string_view>

#include "split/text/text_encoding.h"

namespace tovane {

class ChapterHeading {
public:
    // Lines longer than this many bytes are never headings.
    static constexpr std::size_t kMaxBytes = 200;
    // Nor are lines of more characters than this.
    static constexpr std::size_t kMaxCharacters = 40;

    // The built-in rule: after blanks (space, tab, U+3000), 第 + a number +
    // 章/回/节/卷/集/部/篇; or 序章 序言 楔子 引子 尾声 后记 番外 alone or before a
    // blank, a colon or a number; or "Chapter N" / "CHAPTER N".
    explicit ChapterHeading(TextEncoding encoding);
    // A user's rule: an ECMAScript regular expression searched for in the
    // decoded line. Throws std::regex_error for a bad one.
    ChapterHeading(TextEncoding encoding, const std::string& pattern);

    // `line` without its terminator.
    bool matches(std::string_view line) const;

    // What is wrong with `pattern` as a rule; empty when nothing is.
    static std::string problemWith(const std::string& pattern);

private:
    bool matchesBuiltIn(std::string_view line) const;
    // A check of the first bytes past the blanks that most lines fail: runs
    // through a novel's lines at a few nanoseconds each.
    bool mayStartHeading(std::string_view line) const;

    TextEncoding encoding_;
    std::optional<std::wregex> pattern_;
    // Bytes (8-bit encodings) that can open the first character past the
    // blanks of a heading.
    std::array<bool, 256> firstBytes_{};
};

// `line` decoded from its encoding; bytes that decode to nothing become U+FFFD.
std::wstring decodeLine(std::string_view line, TextEncoding encoding);

}  // namespace tovane
