// The chapters of a source: found in one pass over the file before the split
// (the built-in rule reads the book's numbering as a whole, see
// book_structure.h; a user's pattern takes every line it is found in), kept
// as the places a split by chapters may cut and the headings a list shows,
// with the identity of the file they were found in. The window's chapter
// list, tovane-split --list-chapters and the split itself read the same map.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "split/chapters/book_structure.h"
#include "split/io/native_file.h"
#include "split/io/source_file.h"
#include "split/problem.h"

namespace tovane {

class HeadingPattern;

// A heading line the list shows.
struct Chapter {
    std::uint64_t offset = 0;  // of the heading line's first byte in the file
    std::uint64_t line = 0;    // its number, from 1
    std::string text;          // the heading, UTF-8, blanks at its ends left off
    HeadingLevel level = HeadingLevel::Chapter;
    std::size_t block = 0;  // the chapter it begins or is part of, from 0
    HeadingReason reason = HeadingReason::Sequence;  // why it is one
};

// A line that read as a heading and was passed over, and why: a list may
// show it, and its user bring it in.
struct PassedOver {
    std::uint64_t offset = 0;  // of its first byte in the file
    std::uint64_t line = 0;    // its number, from 1
    std::string text;          // UTF-8, blanks at its ends left off
    HeadingReason reason = HeadingReason::Citation;
    // The measures of the lines before it, as a block's (see ChapterBlock).
    std::uint64_t charactersBefore = 0;
    std::uint64_t bytesBefore = 0;
};

// One place a split may cut: a chapter (a volume's heading and its chapter 1
// are one), from its first line to the next one's.
struct ChapterBlock {
    std::uint64_t offset = 0;      // of its first line in the file
    std::uint64_t line = 0;        // the number of that line, from 1
    std::uint64_t characters = 0;  // its lines' characters and the CR LF between them
    std::uint64_t bytes = 0;       // as a part holds it: every line with a CR LF
    // The lines before it: their characters, each with the two of a CR LF,
    // and their bytes as parts hold them.
    std::uint64_t charactersBefore = 0;
    std::uint64_t bytesBefore = 0;
    bool volume = false;  // it opens a volume
};

// A reader's corrections to the chapters found: the chapters taken out (by
// block) and the candidates passed over that are brought in (by their
// place in `passedOver`), each a chapter of its own.
struct ChapterChoice {
    std::vector<bool> dropped;
    std::vector<bool> broughtIn;
    bool none() const;
};

struct ChapterMap {
    std::vector<Chapter> headings;  // in the order of the file
    std::vector<ChapterBlock> blocks;
    // The candidates passed over, in the order of the file, when asked for;
    // and how many the pass left out uncounted among them (a list's items,
    // copies of one heading).
    std::vector<PassedOver> passedOver;
    std::uint64_t leftOut = 0;
    std::uint64_t prefaceBytes = 0;   // before the first block, as a part holds them
    // The whole file's lines as parts hold them: bytes, and characters with
    // a CR LF after every line (counted where `measured`).
    std::uint64_t bytes = 0;
    std::uint64_t characters = 0;
    std::uint64_t byteOrderMark = 0;  // bytes of the mark that opens the file and every part
    SourceFormat format;              // what the file was read as
    bool measured = false;            // the blocks' characters were counted
    bool withTexts = false;           // the headings' words were read

    // The words of the first heading of the chapter that begins at `offset`;
    // empty where none begins or their words weren't read.
    std::string_view headingAt(std::uint64_t offset) const;
    // The file the chapters were found in, as it was then.
    FileIdentity file;
    FileStamp stamp;

    // Whether the map is of the file that is now `file` with `stamp`.
    bool describes(FileIdentity file, const FileStamp& stamp) const;
    // The map as the reader chose: a chapter taken out gives its text to
    // the chapter before and is no longer listed; a candidate brought in
    // begins a chapter, cut off the one it stood in, and is listed.
    ChapterMap chosen(const ChapterChoice& choice) const;
};

struct ChapterList {
    enum class Result { Done, Failed, Stopped };
    Result result = Result::Done;
    std::shared_ptr<const ChapterMap> map;  // set when Done
    Problem problem;                        // why it failed
    bool empty() const { return !map || map->blocks.empty(); }
};

struct ChapterScanOptions {
    bool withText = false;  // the headings' texts, for a list to show
    bool measure = false;   // the blocks' characters, for a split by size at chapters
    bool passedOver = false;  // the candidates passed over, with their texts
    // Where set, bytes of the file read so far are added to it as the scan
    // goes, for showing how far it has come.
    std::atomic<std::uint64_t>* bytesRead = nullptr;
};

// Reads the source once and finds its chapters: the file open and in
// `format` (named `sourcePath`), or the one at `sourcePath`, opened for it.
// A set `stopRequested` ends it between two lines.
ChapterList findChapters(const std::shared_ptr<SourceFile>& source, const SourceFormat& format,
                         const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern,
                         ChapterScanOptions options, const std::atomic<bool>* stopRequested);
// `asked`: the encoding to read it in rather than tell it; a mark of
// another is refused.
ChapterList findChapters(const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern,
                         ChapterScanOptions options,
                         const std::atomic<bool>* stopRequested = nullptr,
                         std::optional<Encoding> asked = std::nullopt);

}  // namespace tovane
