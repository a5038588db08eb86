// A book being written for a test of the chapter reader: its lines, in the
// forms downloaded books use, and the numbers of those that are headings.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tovane::test {

// `n` in Chinese numerals: 一, 十二, 一百零八, 两千.
std::string chinese(unsigned n);
// `n` with zeros before it to `width` digits.
std::string padded(unsigned n, int width);

struct Book {
    std::vector<std::string> lines;
    std::vector<std::uint64_t> headings;

    // A few paragraphs of the story.
    void text(int paragraphs = 3);
    void heading(const std::string& line);
    void other(const std::string& line);
    void blank() { other(""); }
    // The book in UTF-8, each line ended with `end`.
    std::string utf8(const char* end = "\r\n") const;
};

// Lines of a book's own, each a heading or not, in the order given.
struct Line {
    const char* text;
    bool heading = false;
};
inline constexpr Line kText{""};    // a few paragraphs of the story
inline constexpr Line kBlank{" "};  // a line of blanks
// A book titled 青云记 with these lines.
Book bookOf(std::initializer_list<Line> lines, int paragraphs = 3);

}  // namespace tovane::test
