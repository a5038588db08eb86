// Which candidate headings of a book are its volumes and chapters, read from
// the book as a whole rather than line by line, and why each candidate is
// taken or passed over. A heading printed again a few lines on is one
// heading; a front run of headings that come back later is a table of
// contents; each heading word and form makes numbered sequences, which start
// again at 1 in a new volume; numbers that run inside every chapter are its
// sections; a title without a number is a heading where the contents list it
// or where the book sets its titles off alike all through. Headings with
// nothing between them but blank lines or one title line (a volume and its
// chapter 1, a number and its title) are one block: one place to cut, before
// the whole block.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "split/chapters/heading_line.h"

namespace tovane {

// What the line with text right before or after a candidate is, as far as
// the decision needs it.
struct LineNote {
    bool exists : 1 = false;     // there is a line with text on that side
    bool candidate : 1 = false;  // it is a candidate heading itself
    bool titleLike : 1 = false;  // at most 30 characters, no sentence punctuation
    bool longText : 1 = false;   // longer than any heading
    bool dateStamp : 1 = false;  // 更新时间 2009-1-9, 字数：1511: a site's note under a title
    bool byline : 1 = false;     // ◇ 作者, 文/作者: an author's name under a title
    bool siteLine : 1 = false;   // a site's banner or a file's name: www., .com, 001.txt
};

// A line that reads as a heading or as a title, where it stands and what
// surrounds it.
struct Candidate {
    std::uint64_t offset = 0;  // of its first byte in the file
    std::uint64_t line = 0;    // its number, from 1
    // The lines before it: their characters, each with the two of a CR LF,
    // and their bytes as the parts hold them (each line with its CR LF).
    std::uint64_t charactersBefore = 0;
    std::uint64_t bytesBefore = 0;
    // The lines with text since the candidate before: how many, and the
    // bytes of the longest, at most 65535.
    std::uint32_t linesBetween = 0;
    std::uint16_t longestBetween = 0;
    std::uint16_t length = 0;  // bytes of the line, a short one
    // Blank lines right before and right after it, at most 65535.
    std::uint16_t blanksBefore = 0;
    std::uint16_t blanksAfter = 0;
    // How far back the line with text before it begins, for a cut before a
    // title line above: its offset, bytes and characters before, each
    // counted back from the candidate's; 0 where it is too far to tell.
    std::uint16_t previousOffsetBack = 0;
    std::uint16_t previousBytesBack = 0;
    std::uint16_t previousCharactersBack = 0;
    LineNote previous;  // the line with text before it
    LineNote next;      // and after it
    HeadingLine heading;
};

// A book's candidates, in the order of the file: kept in chunks, so that
// a long list grows without a copy of itself.
using Candidates = std::deque<Candidate>;

// What the pass saw of the book's text lines: how it sets paragraphs off,
// against which a title's blank lines are told.
struct BookMeasures {
    std::uint64_t bytes = 0;      // of the file
    std::uint64_t textLines = 0;  // lines with text longer than a heading
    // Of them, those after at least 1, 2, 3 and 4 blank lines.
    std::uint64_t textLinesAfterBlanks[4] = {0, 0, 0, 0};
    std::uint64_t shortLineBytes = 80;  // of a line of 40 characters, a banner's most
    // The bytes of a full line where the book is wrapped at a width (most
    // of its lines as long as each other); 0 where it is not.
    std::uint64_t wrapBytes = 0;
    // Candidates the pass left out: a list's items past its first few, and
    // copies of one heading past the first few.
    std::uint64_t listItemsLeftOut = 0;
    std::uint64_t copiesLeftOut = 0;
};

enum class HeadingLevel : std::uint8_t { Volume, Chapter };

// Why a candidate is a heading or is not; the words for people are made
// where the verdicts are shown.
enum class HeadingReason : std::uint8_t {
    // Taken:
    Sequence,     // a chapter in its numbered sequence
    Volume,       // a volume's or a part's heading
    Matter,       // front or back matter standing alone
    StandsAlone,  // a numbered heading standing alone outside any sequence
    ByContents,   // a title the table of contents lists, standing alone in the body
    Titles,       // one of the titles the book sets off alike all through
    // Passed over:
    Contents,        // an entry of a table of contents
    Section,         // a section numbered inside its chapter
    Repeat,          // the heading before, printed again
    EndMarker,       // says that a volume or chapter ended
    Citation,        // mentioned in the text: no sequence, not standing alone
    PageMarker,      // a site's or a scan's page
    SitePiece,       // a later piece of the chapter before, cut by a site
    BrokenSequence,  // a weak form out of any sequence
    List,            // an item of a list: too close to the others
    RunningHeader,   // printed again and again through the book
    SameBlock,       // a second numbering of the heading right above it
    NotSetOff,       // a title the book doesn't set off as it sets its headings
};

inline constexpr bool isTaken(HeadingReason reason) {
    return reason <= HeadingReason::Titles;
}

struct BookStructure {
    // A heading a split cuts at or lists.
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
        bool volume = false;  // it begins a volume: a volume's heading, or chapters at 1 again
    };
    std::vector<Heading> headings;
    std::vector<Cut> cuts;                 // one a block
    std::vector<HeadingReason> verdicts;   // one a candidate
    bool stopped = false;                  // a stop was asked for before the end
};

// The headings and blocks of a book from its candidates, in the order of the
// file. A set `stopRequested` ends it early, `stopped` set.
BookStructure readBookStructure(const Candidates& candidates,
                                const BookMeasures& measures,
                                const std::atomic<bool>* stopRequested = nullptr);

// The cut before a candidate that stands where it is.
BookStructure::Cut cutAt(const Candidate& candidate);

// Every candidate is a heading, each a block of its own: a user's pattern
// says itself which lines are headings.
BookStructure everyCandidateAHeading(const Candidates& candidates);

}  // namespace tovane
