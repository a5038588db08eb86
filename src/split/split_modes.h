// The ways a run can split, in one table: each row says what the command
// line calls it, which entry of the window's menu reaches it and which number
// box it reads there, the words the window and the summary use for it, how
// it counts its parts and how it makes its cut rule. The command line, the
// cut rules, the checks before a run and the window all read this table: a
// new way is a rule of its own and a row here.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "split/split_types.h"

namespace tovane {

class CutRule;
class LineMeasure;

// The number a way reads, and so how the text typed for it is read.
enum class SplitNumber {
    Kilobytes,  // a size in kilobytes (fractions allowed)
    Parts,      // a number of parts
    Chapters,   // a number of chapters a part
};

// The window's two number boxes.
enum class NumberBox { Size, Count };

struct SplitModeRow {
    SplitMode mode;
    // The command line: the option that takes the number, and a flag that
    // goes with it (--size 100 --at-chapters).
    std::string_view option;
    std::string_view flag;
    // The window: the menu entry (its digit) that reaches the way, the box
    // it reads there and the mark beside that box (entry 1 reaches two ways
    // by its two marks). Words, in UTF-8: the menu entry ("N" stands for
    // the size box's number), after the size box, and before and after the
    // count box.
    int menuEntry;
    NumberBox box;
    std::string_view menuText;
    std::string_view afterSize;
    std::string_view beforeCount;
    std::string_view afterCount;
    SplitNumber number;
    std::string_view defaultNumber;  // what the command line takes when none is given
    // The summary: the unit of the figure each part has, and whether it is a
    // most ("每个文件不超过“100”KB").
    std::string_view summaryUnit;
    bool atMost;
    bool cutsAtChapters;  // needs the source's chapters
    bool exactParts;      // the part count is known exactly before the run
    std::unique_ptr<CutRule> (*makeRule)(const SplitPlan& plan, LineMeasure& measure,
                                         std::shared_ptr<const ChapterMap> chapters);
};

// Every way, in the order of the window's menu.
extern const SplitModeRow kSplitModes[5];

const SplitModeRow& splitModeRow(SplitMode mode);
// The first way a menu entry reaches, whose words the entry shows.
const SplitModeRow& firstOfMenuEntry(int entry);
// The last entry of the menu.
int lastMenuEntry();

}  // namespace tovane
