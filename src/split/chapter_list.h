// The chapters of a source: the headings a split by chapters cuts at, found
// in one pass over the file before the split. The built-in rule reads the
// book's own numbering: strong headings (第一章, 序章, Chapter 3) count on
// their own, weak ones (一, （1）, 一、雨夜) only where they run in sequence
// through the book; a table of contents and the sections of one chapter
// (第一章(1), 第一章(2)) are passed over. A user's pattern takes every line it
// is found in. The window's chapter list and tovane-split --list-chapters
// show the same list.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tovane {

class HeadingPattern;

struct Chapter {
    std::uint64_t offset = 0;  // of the heading line's first byte in the file
    std::uint64_t line = 0;    // its number, from 1
    std::string text;          // the heading, UTF-8, blanks at its ends left off
};

struct ChapterList {
    enum class Result { Done, Failed, Stopped };
    Result result = Result::Done;
    std::vector<Chapter> chapters;  // in the order of the file
    std::string message;            // why it failed
};

// Reads the source once and finds its chapters, with their texts when
// `withText` (the split needs only where they are). A set `stopRequested`
// ends it between two lines.
ChapterList findChapters(const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern, bool withText,
                         const std::atomic<bool>* stopRequested = nullptr);

}  // namespace tovane
