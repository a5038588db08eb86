// Tells whether a line is a chapter heading, reading the line in the
// source's own encoding without converting the file: the built-in rule
// decodes a line's characters from a character boundary only when its first
// bytes could open a heading, and a user's pattern is searched for in the
// decoded line.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "split/text/heading_pattern.h"
#include "split/text/text_encoding.h"

namespace tovane {

class ChapterHeading {
public:
    // Lines longer than this many bytes are never headings.
    static constexpr std::size_t kMaxBytes = 200;
    // Nor are lines of more characters than this.
    static constexpr std::size_t kMaxCharacters = 40;

    // The built-in rule when `pattern` is null: after blanks (space, tab,
    // U+3000), 第 + a number + 章/回/节/卷/集/部/篇; or 序章 序言 楔子 引子 尾声
    // 后记 番外 alone or before a blank, a colon or a number; or "Chapter N" /
    // "CHAPTER N". Otherwise the user's pattern.
    explicit ChapterHeading(TextEncoding encoding,
                            std::shared_ptr<const HeadingPattern> pattern = nullptr);
    // A user's pattern, compiled here; an invalid one matches nothing.
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
    const EncodingFacts* facts_;
    std::shared_ptr<const HeadingPattern> pattern_;
    // One-byte units: the bytes that can open the first character of a
    // heading past its blanks, and U+3000 in the encoding.
    std::array<bool, 256> firstBytes_{};
    std::string ideographicSpace_;
};

// `line` decoded from its encoding; bytes that make no character become U+FFFD.
std::u32string decodeLine(std::string_view line, TextEncoding encoding);

// `c` in the encoding; empty when the encoding has no such character.
std::string encodeCharacter(char32_t c, TextEncoding encoding);

}  // namespace tovane
