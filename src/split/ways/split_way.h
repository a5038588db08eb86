// A way of splitting, whole: what the command line calls it, the number it
// reads and how it reads it, the rule that says where its parts end, and
// what the summary counts. The command line, the checks before a run, the
// run, the window and the forecasts of part counts all ask the way itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "split/problem.h"
#include "split/text/source_format.h"
#include "split/ways/cut_rule.h"
#include "split/ways/way_list.h"

namespace tovane {

class LineMeasure;
struct ChapterMap;

// What the number a way reads counts: the unit of the summary's figure too.
enum class WayNumber : std::uint8_t {
    Kilobytes,  // a size in kilobytes (fractions allowed)
    Parts,      // a number of parts (its figure is their size, in kilobytes)
    Chapters,   // chapters a part
    Volumes,    // volumes a part
};

// Where a way may end a part.
enum class WayCuts : std::uint8_t {
    AnyLine,   // before any line
    Chapters,  // only before a chapter: the source's chapters are needed
    Volumes,   // only before a volume
};

// What the number is read against: the source's size, and the format the
// parts are written in.
struct NumberContext {
    std::uint64_t sourceSize = 0;
    SourceFormat output;
};

// The numbers a way read from the text typed for it.
struct WayNumbers {
    std::uint64_t byteLimit = 0;  // bytes a part, where the way measures
    std::uint64_t mostParts = 0;  // parts at most, where the way counts them; 0: any
    std::uint64_t perPart = 0;    // chapters or volumes a part
    std::string perPartFigure;    // the summary's figure: "100" of 每个文件“100”KB
};

struct SplitWay {
    SplitMode mode;
    // The command line: the option that takes the number, and a flag that
    // goes with it (--size 100 --at-chapters).
    std::string_view option;
    std::string_view flag;
    WayNumber number;
    std::string_view defaultNumber;  // what the command line takes when none is given
    bool atMost;  // the summary's figure is a most: 每个文件不超过“100”KB
    WayCuts cuts;

    // Reads `text`, the number as typed; a problem when the way can't take it.
    Problem (*read)(std::string_view text, const NumberContext& context, WayNumbers& numbers);
    // The rule of a run, measuring lines with `measure`; the ways that cut at
    // chapters cut at those of `chapters`.
    std::unique_ptr<CutRule> (*makeRule)(const WayNumbers& numbers, LineMeasure& measure,
                                         std::shared_ptr<const ChapterMap> chapters);

    bool cutsAtChapters() const { return cuts != WayCuts::AnyLine; }
};

}  // namespace tovane
