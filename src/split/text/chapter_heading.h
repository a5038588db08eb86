// Reads a line as a chapter heading, in the forms real books write them:
// "第一章 风起" after a short prefix (the book's title, 正文, a bracket, a
// bullet), with blanks inside and numbers in Arabic, full-width or Chinese
// numerals; named parts (序章, 楔子, 番外 …); "Chapter 3"; and the weak forms
// that are headings only in a sequence through the book (卷一, 一, 01, （1）,
// 一、雨夜, 一 远行). The line is decoded from the source's own encoding, from
// a character boundary, only when its first bytes could open a heading.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "split/text/heading_pattern.h"
#include "split/text/text_encoding.h"

namespace tovane {

// What a line says as a heading.
struct HeadingLine {
    enum class Form : std::uint8_t {
        Numbered,   // 第 + number + 章/回/节/卷/集/部/篇/讲/课/话/幕/季/册/部分
        Named,      // 序章 序言 楔子 引子 尾声 后记 番外 前言 终章
        English,    // Chapter 3, CHAPTER IV
        WordFirst,  // 卷一, 章 12: a heading word, then the number
        Bare,       // the number alone: 一, 12, 01
        Bracketed,  // （1）, (一)
        Listed,     // 一、雨夜
        Titled,     // 一 远行, 正文 001 初见: the number, a blank and a short title
    };
    Form form = Form::Numbered;
    char32_t word = 0;           // 章, 卷 …; 分 for 部分; 0 for none
    std::uint32_t number = 0;    // 0 for none
    bool chineseNumber = false;  // written in Chinese numerals
    // The weak forms are headings only where they form a sequence.
    bool weak() const { return form >= Form::WordFirst; }
    // Volumes and parts: units above a chapter.
    bool volume() const;
};

class ChapterHeading {
public:
    // Lines longer than this many bytes are never headings.
    static constexpr std::size_t kMaxBytes = 200;
    // Nor are lines of more characters than this.
    static constexpr std::size_t kMaxCharacters = 40;

    // The built-in rule when `pattern` is null; otherwise the user's pattern,
    // searched for in the decoded line.
    explicit ChapterHeading(TextEncoding encoding,
                            std::shared_ptr<const HeadingPattern> pattern = nullptr);
    // A user's pattern, compiled here; an invalid one matches nothing.
    ChapterHeading(TextEncoding encoding, const std::string& pattern);

    // `line` (without its terminator) as a heading, or nothing. With a user's
    // pattern, a line it is found in reads as a numbered heading.
    std::optional<HeadingLine> read(std::string_view line) const;
    // Whether `line` is a heading on its own: a strong form by the built-in
    // rule, or one the user's pattern is found in.
    bool matches(std::string_view line) const;

    // What is wrong with `pattern` as a rule; empty when nothing is.
    static std::string problemWith(const std::string& pattern);

private:
    // A check of the line's first bytes that most lines fail: runs through a
    // novel's lines at a few nanoseconds each.
    bool mayStartHeading(std::string_view line) const;

    TextEncoding encoding_;
    const EncodingFacts* facts_;
    std::shared_ptr<const HeadingPattern> pattern_;
    std::string chapterBytes_;  // 第 in the encoding
    // The characters of the Basic Multilingual Plane a heading can open with.
    std::bitset<0x10000> starts_;
};

// `text` (without blanks at its ends) read as a heading, or nothing.
std::optional<HeadingLine> readHeading(std::u32string_view text);

// `line` decoded from its encoding; bytes that make no character become U+FFFD.
std::u32string decodeLine(std::string_view line, TextEncoding encoding);

// `c` in the encoding; empty when the encoding has no such character.
std::string encodeCharacter(char32_t c, TextEncoding encoding);

}  // namespace tovane
