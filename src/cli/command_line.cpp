#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>
#include <utility>

#include "split/parts/part_names.h"
#include "split/split_texts.h"
#include "split/text/heading_pattern.h"
#include "split/ways/ways.h"

namespace tovane::cli {

std::string usageText() {
    const std::string synopsis =
        "tovane-split [--size KB [--at-chapters] | --parts N | --chapters N | --volumes N |\n"
        "                     --max-size KB]\n"
        "                    [--heading REGEX] [--pad | --title-names] [--to-utf8]\n"
        "                    [--encoding NAME] [--base NAME] SOURCE SAVE_DIR\n"
        "       tovane-split --list-chapters [--why] [--chapters N] [--heading REGEX]\n"
        "                    [--encoding NAME] SOURCE\n";
    const std::string size(allWays().front()->defaultNumber);
    return "Usage: " + synopsis +
           "\n"
           "Splits the text file SOURCE into parts of whole lines, named NAME_1.txt,\n"
           "NAME_2.txt, ... in the folder SAVE_DIR. A line ends at CR LF, CR or LF;\n"
           "every line keeps its bytes and ends in CR LF in the parts, and a\n"
           "byte-order mark is repeated at the start of every part. A part takes its\n"
           "name only when it is complete; until then it is a hidden file.\n"
           "\n"
           "  --size KB       each part holds about KB kilobytes (default " +
           size +
           ")\n"
           "  --parts N       cut the file into N parts of about equal size (at most N)\n"
           "  --chapters N    each part holds N chapters; text before the first\n"
           "                  chapter goes into the first part\n"
           "  --volumes N     each part holds N volumes (卷, 部, 集 ...; 1: one part a\n"
           "                  volume); text before the first goes into the first part\n"
           "  --at-chapters   with --size: a part ends only before a chapter, taking\n"
           "                  whole chapters while they fit (a bigger one alone)\n"
           "  --max-size KB   no part is larger than KB x 1024 bytes (its byte-order\n"
           "                  mark and every CR LF counted); a line too long for one\n"
           "                  part is cut between two characters\n"
           "  --list-chapters print every volume and chapter heading: line, part (with\n"
           "                  --chapters N), heading, level (卷 or 章) and its chapter\n"
           "                  (a volume and its chapter 1 are one); and the totals.\n"
           "                  Writes no file\n"
           "  --why           with --list-chapters: every line that read as a heading,\n"
           "                  taken (取) or passed over (弃), with the reason: line,\n"
           "                  verdict, reason, text\n"
           "  --heading REGEX a line is a chapter heading when this regular expression\n"
           "                  (ECMAScript syntax, no back-references or look-around) is\n"
           "                  found in it (lines of at most 200 bytes)\n"
           "\n"
           "Chapter headings, unless --heading says otherwise, are read from the book's\n"
           "numbering as a whole: lines such as 第一章 风起, 第 1 章, 第01节, 第一百零八回,\n"
           "第一部分, 第一卷, 第二季 第三卷 风雪夜归 (also decorated or after a short\n"
           "prefix: 正文 第一章, 【正文】第2节, ◆ 《书名》 第一回 ◆), 序, 前言, 楔子,\n"
           "后记, 跋, 附录, 番外, 尾声, Chapter 3; and, where they run in sequence (1, 2,\n"
           "3 ..., starting again at each volume), 卷一, 一, （1）, 一、雨夜, 一 远行,\n"
           "正文 001 初见. Passed over: tables of contents, headings printed twice,\n"
           "citations (《旧史·第九卷》), end markers (第三卷终), and sections numbered\n"
           "again in every chapter. A volume and its chapter 1 right under it are one\n"
           "chapter, cut before the volume.\n"
           "  --pad           pad the part numbers with zeros to the width of the last\n"
           "                  one, so that they sort: NAME_001.txt ... NAME_142.txt\n"
           "  --title-names   with --chapters, --volumes or --at-chapters: --pad, and the\n"
           "                  first heading of each part after its number, made fit\n"
           "                  for a file name (\\ / : * ? \" < > | in full width, at most\n"
           "                  40 characters): NAME_003 第二十一回 风雪.txt\n"
           "  --to-utf8       write the parts in UTF-8 with a byte-order mark, from\n"
           "                  GBK (read as GB18030), Big5, UTF-8 or UTF-16; --size and\n"
           "                  --max-size count the UTF-8 bytes written, the other ways\n"
           "                  put the same lines into the same parts as without it.\n"
           "                  A file with a byte that doesn't convert is refused,\n"
           "                  naming its line, before any part is written\n"
           "  --encoding NAME read SOURCE as auto (told from its bytes, the default), gbk\n"
           "                  (GB18030), big5 (Windows' code page 950), utf-8, utf-16le\n"
           "                  or utf-16be; a byte-order mark of another encoding is\n"
           "                  wrong usage. The run and --list-chapters name the encoding\n"
           "                  they read, after the summary: 编码：GBK\n"
           "  --base NAME     name of the parts, without a folder (default: SOURCE's\n"
           "                  name without its extension)\n"
           "  --help          show this text\n"
           "  --version       show the version\n"
           "\n"
           "Example: tovane-split --chapters 10 novel.txt out/   (10 chapters a part)\n"
           "\n"
           "Exit status: 0 done, 1 a check or the split failed, 2 wrong usage,\n"
           "128+n stopped by signal n, e.g. 130 for Ctrl+C (the part being written is\n"
           "removed, the finished parts stay).\n";
}

namespace {

// The ways' options, as the table has them: "--size, --parts, ... and --volumes".
std::string modeOptions() {
    std::vector<std::string_view> options;
    for (const SplitWay* way : allWays()) {
        if (std::find(options.begin(), options.end(), way->option) == options.end()) {
            options.push_back(way->option);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < options.size(); ++i) {
        text += i == 0 ? "" : i + 1 == options.size() ? " and " : ", ";
        text += options[i];
    }
    return text;
}

// An encoding as --encoding names it; none for auto.
bool readEncodingName(std::string name, std::optional<Encoding>& encoding) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static constexpr std::pair<std::string_view, Encoding> kNames[] = {
        {"gbk", Encoding::Gbk},
        {"big5", Encoding::Big5},
        {"utf-8", Encoding::Utf8},
        {"utf-16le", Encoding::Utf16Le},
        {"utf-16be", Encoding::Utf16Be}};
    encoding.reset();
    if (name == "auto") return true;
    for (const auto& [spelled, named] : kNames) {
        if (name == spelled) {
            encoding = named;
            return true;
        }
    }
    return false;
}

bool isFlagOfAWay(std::string_view argument) {
    const std::span<const SplitWay* const> ways = allWays();
    return std::any_of(ways.begin(), ways.end(), [&](const SplitWay* way) {
        return !way->flag.empty() && way->flag == argument;
    });
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> positional;
    bool baseGiven = false;
    const std::span<const SplitWay* const> ways = allWays();
    const SplitWay* way = nullptr;  // the way an option asked for
    std::string flag;               // and the flag that goes with it
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
        const auto asked = std::find_if(ways.begin(), ways.end(), [&](const SplitWay* row) {
            return row->flag.empty() && is(row->option.data());
        });
        if (asked != ways.end()) {
            if (way != nullptr) return fail(modeOptions() + " can't be combined");
            way = *asked;
            line.request.mode = way->mode;
            if (!value(line.request.numberText)) return fail(argument + " needs a value");
        } else if (isFlagOfAWay(argument)) {
            flag = argument;
        } else if (argument == "--pad") {
            line.request.pad = true;
        } else if (argument == "--title-names") {
            line.request.titleNames = true;
        } else if (argument == "--to-utf8") {
            line.request.toUtf8 = true;
        } else if (argument == "--list-chapters") {
            line.action = CommandLine::Action::ListChapters;
        } else if (argument == "--why") {
            line.why = true;
        } else if (is("--heading")) {
            std::string pattern;
            if (!value(pattern)) return fail("--heading needs a value");
            if (pattern.empty()) return fail("--heading needs a pattern, not an empty one");
            HeadingPattern::Problem problem = HeadingPattern::Problem::None;
            line.request.heading = HeadingPattern::compile(pattern, problem);
            if (!line.request.heading)
                return fail("--heading is no regular expression: " + texts::describe(problem));
        } else if (is("--encoding")) {
            std::string name;
            if (!value(name)) return fail("--encoding needs a value");
            if (!readEncodingName(name, line.request.encoding)) {
                return fail("--encoding takes auto, gbk, big5, utf-8, utf-16le or utf-16be, not " +
                            name);
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
    if (line.why && line.action != CommandLine::Action::ListChapters) {
        return fail("--why goes with --list-chapters");
    }
    if (line.action == CommandLine::Action::ListChapters) {
        if (positional.size() != 1) return fail("--list-chapters takes SOURCE alone");
        const SplitWay& chapters = wayOf(SplitMode::ByChapters);
        if (way != nullptr && way->mode != SplitMode::ByChapters) {
            return fail("--list-chapters goes with " + std::string(chapters.option) + " only");
        }
        if (way == nullptr) line.request.numberText = chapters.defaultNumber;
        line.request.sourcePath = positional[0];
        return line;
    }
    if (positional.size() != 2) return fail("SOURCE and SAVE_DIR are both needed");
    if (way == nullptr) {
        way = ways.front();
        line.request.mode = way->mode;
        line.request.numberText = way->defaultNumber;
    }
    if (!flag.empty()) {
        // The way the flag turns the option into.
        const auto flagged = std::find_if(ways.begin(), ways.end(), [&](const SplitWay* row) {
            return row->option == way->option && row->flag == flag;
        });
        if (flagged == ways.end()) return fail(flag + " goes with another option");
        line.request.mode = (*flagged)->mode;
    }
    if (line.request.heading && !wayOf(line.request.mode).cutsAtChapters()) {
        return fail("--heading goes with --chapters, --volumes or --at-chapters");
    }
    if (line.request.titleNames && !wayOf(line.request.mode).cutsAtChapters()) {
        return fail("--title-names goes with --chapters, --volumes or --at-chapters");
    }
    line.request.sourcePath = positional[0];
    line.request.saveFolder = positional[1];
    if (!baseGiven) {
        line.request.baseName = std::string(baseNameOf(fileNameOf(line.request.sourcePath)));
    } else if (!isPlainFileName(line.request.baseName)) {
        return fail("--base must be a plain file name, without a folder: " + line.request.baseName);
    }
    return line;
}

}  // namespace tovane::cli
