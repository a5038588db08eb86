// The arguments of tovane-split, read into a split request.
#pragma once

#include <string>
#include <vector>

#include "split_types.h"

namespace tovane::cli {

struct CommandLine {
    enum class Action { Split, Help, Version, UsageError };
    Action action = Action::Split;
    SplitRequest request;
    std::string error;  // what was wrong, for UsageError
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The source's file name without its last extension: the part before the
// last "." of the name, or the whole name when it has no dot.
std::string defaultBaseName(const std::string& sourcePath);

std::string usageText();

}  // namespace tovane::cli
