#include "command_line.h"

namespace tovane::cli {

std::string defaultBaseName(const std::string& sourcePath) {
    const std::size_t slash = sourcePath.find_last_of('/');
    const std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string usageText() {
    return "用法: tovane-split [--size KB | --parts N] [--base NAME] SOURCE SAVE_DIR\n"
           "Usage: tovane-split [--size KB | --parts N] [--base NAME] SOURCE SAVE_DIR\n"
           "\n"
           "Splits the text file SOURCE into parts of whole lines, named NAME_1.txt,\n"
           "NAME_2.txt, ... in the folder SAVE_DIR. Every line keeps its bytes and ends\n"
           "in CR LF; a byte-order mark is repeated at the start of every part.\n"
           "\n"
           "  --size KB    each part holds about KB kilobytes (default 100)\n"
           "  --parts N    cut the file into about N parts of equal size\n"
           "  --base NAME  name of the parts (default: SOURCE's name without its extension)\n"
           "  --help       show this text\n"
           "  --version    show the version\n"
           "\n"
           "Exit status: 0 done, 1 a check or the split failed, 2 wrong usage,\n"
           "130 stopped by Ctrl+C (the part being written is removed).\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> positional;
    bool baseGiven = false;
    bool modeGiven = false;
    auto fail = [&line](std::string error) {
        line.action = CommandLine::Action::UsageError;
        line.error = std::move(error);
        return line;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& into) {
            const std::size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                into = argument.substr(equals + 1);
                return true;
            }
            if (i + 1 >= arguments.size()) return false;
            into = arguments[++i];
            return true;
        };
        auto is = [&argument](const char* name) {
            return argument == name || argument.rfind(std::string(name) + "=", 0) == 0;
        };
        if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (is("--size") || is("--parts")) {
            if (modeGiven) return fail("--size and --parts can't be combined");
            modeGiven = true;
            const bool bySize = is("--size");
            line.request.mode = bySize ? SplitMode::BySize : SplitMode::ByCount;
            if (!value(bySize ? line.request.sizeText : line.request.countText)) {
                return fail(argument + " needs a value");
            }
        } else if (is("--base")) {
            if (!value(line.request.baseName)) return fail("--base needs a value");
            baseGiven = true;
        } else if (argument == "--") {
            positional.insert(positional.end(), arguments.begin() + static_cast<long>(i) + 1,
                              arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return fail("unknown option " + argument);
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) return fail("SOURCE and SAVE_DIR are both needed");
    line.request.sourcePath = positional[0];
    line.request.saveFolder = positional[1];
    // The save folder is the literal prefix of every part path.
    if (!line.request.saveFolder.empty() && line.request.saveFolder.back() != '/') {
        line.request.saveFolder += '/';
    }
    if (!baseGiven) line.request.baseName = defaultBaseName(line.request.sourcePath);
    return line;
}

}  // namespace tovane::cli
