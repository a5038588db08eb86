// The measures the chapter reader decides by, in one place: what the pass
// keeps of a book and what the structure reader takes as a heading. Each
// says what it tells apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace tovane::structure_thresholds {

// The pass.

// More candidate headings than any book has: a file of them is no book.
inline constexpr std::size_t kMostCandidates = 1000000;
// The front of a book, where its contents stand: a fifth of it, at least
// 64 KB and at most 1 MB; and the most titles kept of it.
inline constexpr std::uint64_t kLeastFront = 64 * 1024;
inline constexpr std::uint64_t kMostFront = 1024 * 1024;
inline constexpr std::size_t kMostFrontTitles = 16384;
// A book of this many bytes or more is read by two threads, the second
// warming up on this many bytes before its half.
inline constexpr std::uint64_t kTwoThreadsFrom = std::uint64_t{32} << 20;
inline constexpr std::uint64_t kWarmUpBytes = 8 * 1024;
// Candidates of one weak form closer together than this many bytes, with
// at most a few lines between them, are a list's items: the first few are
// kept, enough to tell a list, and the rest left out.
inline constexpr std::uint64_t kListSpacing = 1000;
inline constexpr std::uint32_t kListLines = 3;
inline constexpr std::size_t kListKept = 3;
// And copies of one heading with nothing but blank lines between them.
inline constexpr std::size_t kCopiesKept = 2;

// Lines.

// A title stands on its own line of at most this many characters.
inline constexpr std::size_t kTitleCharacters = 30;
// A line within this many characters of a wrapped book's width is a full line.
inline constexpr std::uint64_t kWrapSlack = 4;
// A site's banner between a heading and its copy: this many lines at most,
// each no longer than a short line.
inline constexpr std::uint32_t kBannerLines = 2;

// Tables of contents.

// This many headings in a row, each with at most two short lines before it
// (a summary), …
inline constexpr std::size_t kContentsRun = 3;
inline constexpr std::uint32_t kContentsLinesBetween = 2;
// … of which this share come back later as the book's own headings, …
inline constexpr double kContentsComingBack = 0.5;
// … where the book has this many times as many lines between them.
inline constexpr double kContentsDensity = 2.0;

// Sequences and levels.

// A sequence tolerates this many numbers missing between two of its headings.
inline constexpr std::uint32_t kMostMissing = 3;
// A run of a weak form must start at this number at most unless it is this
// long: 5, 7, 8 may be a selection, 2003, 2005, 2007 are years.
inline constexpr std::uint32_t kHighestFirst = 100;
inline constexpr std::uint32_t kLongRun = 10;
// Chapters of a strong form from this many on make the weak forms sections.
inline constexpr std::size_t kStrongChapters = 3;
// Weak headings stand under the strong chapters around them where those are
// no farther apart than this many of their usual (median) length: past
// that, a stretch without strong chapters holds a story of its own (a side
// story after the end), whose headings are its chapters.
inline constexpr std::uint64_t kWidestChapter = 8;
// Numbers alone this many times as many as the headings of another group
// are their sections.
inline constexpr std::size_t kSectionsPerChapter = 3;
// Titled numbers starting again under weak headings, this many to each on
// the whole, are a volume's chapters rather than a chapter's sections.
inline constexpr std::size_t kChaptersPerVolume = 8;

// Titles without numbers.

// A title printed more often than this through the body is a running header.
inline constexpr std::size_t kMostRepeated = 2;
// Blank lines mark a title where no more than one paragraph in this many
// stands after as many.
inline constexpr std::uint64_t kBlanksRarity = 100;
inline constexpr std::size_t kNoBlanksMark = std::numeric_limits<std::size_t>::max();
// Titles set off alike make a book's chapters from this many on, with this
// many bytes between them in the middle.
inline constexpr std::size_t kLeastTitles = 3;
// Titles under a site's date stamp or an author's name, from this many on.
inline constexpr std::size_t kLeastMarkedTitles = 2;
inline constexpr std::uint64_t kTitleSpacing = 1500;

}  // namespace tovane::structure_thresholds
