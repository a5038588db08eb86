// The arguments of tovane-split, read into a split request.
#pragma once

#include <string>
#include <vector>

#include "split/split_types.h"

namespace tovane::cli {

struct CommandLine {
    enum class Action { Split, ListChapters, Help, Version, UsageError };
    Action action = Action::Split;
    SplitRequest request;
    bool why = false;   // --list-chapters --why: every candidate, with its verdict
    std::string error;  // what was wrong, for UsageError
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();

}  // namespace tovane::cli
