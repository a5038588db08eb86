// What a split run is asked to do and what it reports back, shared by the
// window and the command line so that both drive the same engine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tovane {

enum class SplitMode { BySize, ByCount, ByChapters };

// The inputs of a run, as the user entered them: the window's six, and the
// chapter modes of the command line.
struct SplitRequest {
    std::string sourcePath;
    std::string saveFolder;  // literal prefix of every part path
    std::string baseName;
    SplitMode mode = SplitMode::BySize;
    std::string sizeText = "100";    // kilobytes per part, by size
    std::string countText = "10";    // number of parts, by count
    std::string chaptersText = "1";  // chapters per part, by chapters
    bool atChapters = false;         // by size, a part ends only before a heading
    std::string headingPattern;      // a rule for headings of the user's; empty: the built-in
};

// Where a part may end.
enum class PartRule {
    BySize,            // before a line that would take it past the byte limit
    ByChapters,        // before every so many chapter headings
    BySizeAtChapters,  // before a heading whose chapter would take it past the limit
};

// A request that passed its checks, with the numbers worked out.
struct SplitPlan {
    std::string sourcePath;
    std::string saveFolder;
    std::string baseName;
    PartRule rule = PartRule::BySize;
    std::uint64_t byteLimit = 0;
    std::uint64_t chaptersPerPart = 0;
    std::string headingPattern;      // empty: the built-in rule
    std::string perPartFigure;       // the figure of the summary
    std::string perPartUnit = "KB";  // and its unit
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
