// What a split run is asked to do and what it reports back, shared by the
// window and the command line so that both drive the same engine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tovane {

class HeadingPattern;
struct ChapterMap;

// The numbers a run takes when the user gives none: the window's boxes start
// with them, and the command line falls back on them.
inline constexpr std::string_view kDefaultSizeText = "100";    // kilobytes per part
inline constexpr std::string_view kDefaultCountText = "10";    // parts
inline constexpr std::string_view kDefaultChaptersText = "1";  // chapters per part

// How the user asked for the source to be split; a plan keeps it as the
// rule of where its parts end.
enum class SplitMode {
    BySize,            // each part about so many kilobytes
    ByCount,           // about so many parts of equal size
    ByChapters,        // so many chapters a part
    BySizeAtChapters,  // about so many kilobytes, ending only before a chapter
    ByMaxSize,         // never more than so many kilobytes
};
using PartRule = SplitMode;

// The inputs of a run, as the user entered them.
struct SplitRequest {
    std::string sourcePath;
    std::string saveFolder;  // the folder the parts go to
    std::string baseName;
    SplitMode mode = SplitMode::BySize;
    std::string sizeText{kDefaultSizeText};          // kilobytes, by size and by maximum size
    std::string countText{kDefaultCountText};        // number of parts, by count
    std::string chaptersText{kDefaultChaptersText};  // chapters per part, by chapters
    // The user's own rule for headings, compiled; null: the built-in rule.
    std::shared_ptr<const HeadingPattern> heading;
};

// A request that passed its checks, with the numbers worked out.
struct SplitPlan {
    std::string sourcePath;
    std::string saveFolder;  // ends in a separator: the literal prefix of every part path
    std::string baseName;
    PartRule rule = PartRule::BySize;
    std::uint64_t byteLimit = 0;  // by size, by count and by maximum size
    std::uint64_t chaptersPerPart = 0;
    std::shared_ptr<const HeadingPattern> heading;  // null: the built-in rule
    // The chapters of the source when they were found before (the window's
    // scan): used when they are of the file as it is when the split opens it,
    // otherwise found again. Null: found by the split.
    std::shared_ptr<const ChapterMap> chapters;
    // The summary's figure for each part: "每个文件“100”KB", or with
    // perPartAtMost "每个文件不超过“100”KB".
    std::string perPartFigure;
    std::string perPartUnit = "KB";
    bool perPartAtMost = false;
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
    std::uint64_t parts = 0;  // parts completed and kept
    std::string message;      // for a message box; empty when there is none. After a
                              // finished run it names parts an earlier run left.
    std::string status;       // the status line after the run; empty leaves it
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
