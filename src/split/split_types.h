// What a split run is asked to do and what it reports back, shared by the
// window and the command line so that both drive the same engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "split/problem.h"
#include "split/text/source_format.h"
#include "split/ways/way_list.h"

namespace tovane {

class HeadingPattern;
class SourceFile;
struct ChapterMap;

// The inputs of a run, as the user entered them.
struct SplitRequest {
    std::string sourcePath;
    std::string saveFolder;  // the folder the parts go to
    std::string baseName;
    SplitMode mode = SplitMode::BySize;
    // The number the way reads, as typed: kilobytes, parts, chapters or volumes.
    std::string numberText = "100";
    // The user's own rule for headings, compiled; null: the built-in rule.
    std::shared_ptr<const HeadingPattern> heading;
    // The chapters the window found in the source, handed on to the plan.
    std::shared_ptr<const ChapterMap> chapters;
    // Part numbers padded with zeros to the width of the last one; with
    // `titleNames` (ways that cut at chapters only) the title of each part's
    // first chapter after the number too.
    bool pad = false;
    bool titleNames = false;
    // Parts written in UTF-8 with a mark, whatever the source's encoding.
    bool toUtf8 = false;
    // The encoding to read the source in; none: told from its bytes.
    std::optional<Encoding> encoding;
};

// A request that passed its checks, with the numbers worked out.
struct SplitPlan {
    std::string sourcePath;
    std::string saveFolder;  // ends in a separator: the literal prefix of every part path
    std::string baseName;
    SplitMode mode = SplitMode::BySize;
    std::uint64_t byteLimit = 0;  // where the way measures: by size, by count, at most
    std::uint64_t perPart = 0;    // chapters or volumes a part
    std::uint64_t mostParts = 0;  // parts at most, by count; 0: any
    std::shared_ptr<const HeadingPattern> heading;  // null: the built-in rule
    // The chapters of the source when they were found before (the window's
    // scan): used when they are of the file as it is when the split opens it,
    // otherwise found again. Null: found by the split.
    std::shared_ptr<const ChapterMap> chapters;
    // The summary's figure for each part: the 100 of "每个文件“100”KB"; its
    // unit is the way's.
    std::string perPartFigure;
    // How the parts are named and written (see SplitRequest).
    bool pad = false;
    bool titleNames = false;
    bool toUtf8 = false;
    std::optional<Encoding> encoding;  // asked for; none: told from the bytes
    // The source as the checks opened it: the run reads it through the same
    // open file (and its format as told then), so that one run opens it and
    // tells its encoding once. Null: the run opens it.
    std::shared_ptr<SourceFile> source;
};

struct SplitOutcome {
    enum class Result {
        CheckFailed,  // a check before the run refused it; nothing was touched
        Done,
        Empty,    // the source held no line; no part was made
        Failed,   // stopped by an error; completed parts stay
        Stopped,  // stopped on request; completed parts stay
    };
    Result result = Result::Done;
    std::uint64_t parts = 0;             // parts completed and kept
    std::optional<SourceFormat> format;  // what the source was read as, once known
    // Why the run failed; after a finished or stopped run, the parts an
    // earlier run left. None otherwise.
    Problem problem;
    // What the front ends show, made from the above by executeSplit: the
    // words of `problem` for a message box (empty when there is none) and
    // the status line after the run (empty leaves it).
    std::string message;
    std::string status;
};

// How a run reads its source: in pieces of this many bytes (see
// LineSource). Tests make them small, to put line ends at their edges.
struct RunOptions {
    std::size_t pieceSize = std::size_t{256} << 10;
};

// How far a run has come: bytes of the source dealt with so far, the
// source's size, and the number of the part being written (0 before the first).
struct SplitProgress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    std::uint64_t part = 0;
};
using ProgressCallback = std::function<void(const SplitProgress&)>;

}  // namespace tovane
