// Which candidate headings of a book are its volumes and chapters, read from
// the book's numbering as a whole rather than line by line: each heading word
// and form makes a numbered sequence; a candidate that breaks its sequence
// and doesn't stand alone is a citation or a footnote; a heading printed
// again a few lines on is one heading; a front run of headings whose titles
// come back later is a table of contents; numbers that start again inside
// every chapter are its sections. Headings with nothing between them but
// blank lines or one title line (a volume and its chapter 1, a number and its
// title) are one block: one place to cut, before the whole block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "split/chapters/heading_line.h"

namespace tovane {

// A line of text next to a candidate, as far as the decision needs it.
struct LineNote {
    bool exists = false;     // there is a line with text on that side
    bool candidate = false;  // it is a candidate heading itself
    bool titleLike = false;  // at most 30 characters, no sentence punctuation
    bool longText = false;   // longer than any heading
    std::uint64_t offset = 0;
    std::uint64_t line = 0;
    // The measures of the lines before it (see Candidate).
    std::uint64_t charactersBefore = 0;
    std::uint64_t bytesBefore = 0;
};

// A line that reads as a heading, where it stands and what surrounds it.
struct Candidate {
    std::uint64_t offset = 0;  // of its first byte in the file
    std::uint64_t line = 0;    // its number, from 1
    std::uint32_t length = 0;  // bytes of the line
    HeadingLine heading;
    // The lines before it: their characters, each with the two of a CR LF,
    // and their bytes as the parts hold them (each line with its CR LF).
    std::uint64_t charactersBefore = 0;
    std::uint64_t bytesBefore = 0;
    // The lines with text since the candidate before: how many, the longest
    // and all of their bytes.
    std::uint32_t linesBetween = 0;
    std::uint32_t longestBetween = 0;
    std::uint64_t bytesBetween = 0;
    bool blankBefore = false;  // a blank line right before it
    bool blankAfter = false;   // and right after
    LineNote previous;         // the line with text before it
    LineNote next;             // and after it
};

enum class HeadingLevel : std::uint8_t { Volume, Chapter };

struct BookStructure {
    // A heading a split cuts at or lists: a volume or a chapter, never a
    // section, a title line, a repeat or a table of contents' entry.
    struct Heading {
        std::size_t candidate = 0;
        HeadingLevel level = HeadingLevel::Chapter;
        std::size_t block = 0;  // from 0
    };
    // Where a block begins: its first heading, or the title line above it.
    struct Cut {
        std::uint64_t offset = 0;
        std::uint64_t line = 0;
        std::uint64_t charactersBefore = 0;
        std::uint64_t bytesBefore = 0;
    };
    std::vector<Heading> headings;
    std::vector<Cut> cuts;  // one a block
};

// The headings and blocks of a book from its candidates, in the order of the
// file. `shortLineBytes`: the bytes of a line of 40 characters, a banner's
// most.
BookStructure readBookStructure(const std::vector<Candidate>& candidates,
                                std::uint64_t shortLineBytes);

// Every candidate is a heading, each a block of its own: a user's pattern
// says itself which lines are headings.
BookStructure everyCandidateAHeading(const std::vector<Candidate>& candidates);

}  // namespace tovane
