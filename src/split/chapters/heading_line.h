// Reads one line as a candidate chapter heading, in the forms downloaded
// books write them, and says what it holds: its form, its heading word and
// number (two of them on a line such as 第二季 第三卷), its title, and what
// a later look at the whole book needs to tell a heading from a line that
// only looks like one. Decoration goes first: blanks, bullets and symbols
// (◆ ★ ●), brackets around the whole line, a bracketed book title of up to
// 30 characters before the heading. Whether a candidate is a heading is not
// decided here but by the book's structure (book_structure.h).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "split/text/codec.h"
#include "split/text/heading_pattern.h"
#include "split/text/heading_text.h"

namespace tovane {

// What a line says as a heading.
struct HeadingLine {
    enum class Form : std::uint8_t {
        Numbered,  // 第 + number + 章/回/节/卷/集/部/篇/编/讲/课/话/幕/季/册/部分
        Named,     // front and back matter: 序, 前言, 楔子, 尾声, 后记, 跋, 附录, 番外 …
        English,   // Chapter 3, CHAPTER IV
        WordFirst,  // 卷一, 章 12: a heading word, then the number
        Labeled,    // 书评一：题目, 案例 12：a word of the book's own, then the number
        Bare,       // the number alone: 一, 12, 01
        Bracketed,  // （1）, (一)
        Listed,     // 一、雨夜, 12. 雨夜
        Titled,     // 一 远行, 正文 001 初见: the number and a short title
        Plain,      // a title without a number, set off from the text
    };
    // What makes a line that reads as a heading none: it is still a
    // candidate, so that a list of verdicts can say why it was passed over.
    enum class Miss : std::uint8_t {
        None,
        EndMarker,     // 第三卷终, （第五卷完）
        ContentsLine,  // 第一章 风起……………12: an entry with its page
        PageMarker,    // 书名_第3章, _分节阅读_5, -- 12: a site's or a scan's page
    };
    Form form = Form::Numbered;
    Miss miss = Miss::None;
    bool chineseNumber = false;  // written in Chinese numerals
    bool numberOnly = false;     // nothing after the number and its word: the title may
                                 // stand on a line of its own
    bool punctuated = false;     // sentence punctuation inside the title
    // The number of a part mark at the title's end: 风起（2） is 2, 风起（上）
    // is 1; 0 for none.
    std::uint8_t piece = 0;
    std::uint16_t characters = 0;  // of the heading without its decoration
    char32_t word = 0;  // 章, 卷 …; 分 for 部分; a matter's first character; a label's hash;
                        // 0 for none
    std::uint32_t number = 0;  // 0 for none
    // A second heading word and number on the line: 第二季 第三卷 风雪夜归,
    // 第一卷 第一章 少年.
    char32_t innerWord = 0;
    std::uint32_t innerNumber = 0;
    // Hashes of the heading's words, blanks and punctuation left out: the
    // whole heading, and its title alone without a part mark such as （上）
    // or (2). 0 for none.
    std::uint32_t textHash = 0;
    std::uint32_t titleHash = 0;
    // And of the title's first four letters, for a title a site lengthened.
    std::uint32_t titleHeadHash = 0;

    // The weak forms are headings only where they form a sequence.
    bool weak() const { return form >= Form::WordFirst && form != Form::Plain; }
    // Volumes and parts: units above a chapter.
    bool volume() const;
};

class HeadingReader {
public:
    // Lines longer than this many bytes are never headings.
    static constexpr std::size_t kMaxBytes = 240;
    // Nor are lines of more characters than this, decoration included …
    static constexpr std::size_t kMaxCharacters = 60;
    // … or, without it, than this, unless they open with 第 + number + word.
    static constexpr std::size_t kMaxHeadingCharacters = 40;
    // A user's pattern is searched for in lines of at most this many bytes.
    static constexpr std::size_t kMaxPatternBytes = 200;

    // The built-in rule when `pattern` is null; otherwise the user's pattern,
    // searched for in the decoded line.
    explicit HeadingReader(const Codec& codec,
                           std::shared_ptr<const HeadingPattern> pattern = nullptr);

    // `line` (without its terminator) as a candidate heading, or nothing.
    // With a user's pattern, a line it is found in reads as a numbered heading.
    std::optional<HeadingLine> read(std::string_view line) const;
    // `line`, which `read` passed over, as a title of a line of its own: a
    // heading that opens with a word of the book's own (书评一：, 中译本前言)
    // or a plain title of at most 30 characters without sentence punctuation.
    // Nothing for a user's pattern, and for any other line.
    std::optional<HeadingLine> readTitle(std::string_view line) const;
    // Lines that may be headings are short: decoded on the stack, in the
    // characters headings are read by, blanks at the ends left off.
    using ShortText = std::array<char32_t, kMaxBytes>;
    std::u32string_view decoded(std::string_view line, ShortText& text) const;
    // The line's bytes without the blanks at its ends, hashed: equal lines
    // have equal keys, without a character decoded; and its first two bytes
    // past its blanks.
    std::uint64_t lineKey(std::string_view line) const;
    std::uint16_t opening(std::string_view line) const;
    // Whether `line` opens as a site's note under a piece's title does
    // (更新时间, 发布时间 …) or an author's name under it (◇, 文/), told from
    // its bytes.
    bool opensAsNoteUnderTitle(std::string_view line) const;
    // Whether `line` is a heading on its own: a strong form of at most 40
    // characters by the built-in rule, or one the user's pattern is found in.
    bool matches(std::string_view line) const;

private:
    // A check of the line's first bytes that most lines fail: runs through a
    // novel's lines at a few nanoseconds each.
    bool mayStartHeading(std::string_view line) const;
    // `line` without the blanks at its start and, unless `frontOnly`, its end.
    std::string_view withoutBlanks(std::string_view line, bool frontOnly) const;

    const Codec& codec_;
    std::shared_ptr<const HeadingPattern> pattern_;
    std::string chapterBytes_;  // 第 in the encoding
    // The bytes a heading's characters take at most, save the four-byte
    // characters of GB18030 that no heading is made of.
    std::size_t characterBytes_;
    // The blanks a heading may be indented with, and the first two bytes of
    // the characters it can open with, in the encoding: most lines are passed
    // over on these bytes without decoding a character.
    std::vector<std::string> blanks_;
    std::bitset<0x100> blankFirstBytes_;  // the first byte of each
    std::bitset<0x10000> startBytes_;
    std::vector<std::string> notesUnderTitle_;  // their opening words, encoded
    std::bitset<0x100> noteFirstBytes_;
};

// A heading without what decorates it: symbols at its ends, brackets around
// all of it, a bracketed book title before it.
std::u32string_view undecoratedHeading(std::u32string_view text);

// The blanks a book sets around and inside its headings: space, tab, the
// ideographic space and the no-break space; and `text` without them at its ends.
bool isBlank(char32_t c);
std::u32string_view trimmed(std::u32string_view text);

// `text` (decoded, blanks at its ends left off) read as a candidate heading.
std::optional<HeadingLine> readHeading(std::u32string_view text);
// And as a title: see HeadingReader::readTitle.
std::optional<HeadingLine> readTitle(std::u32string_view text);

// Whether a decoded line holds sentence punctuation: a line of the book's
// text rather than a title.
bool holdsSentencePunctuation(std::u32string_view text);

}  // namespace tovane
