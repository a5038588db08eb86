#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "split/ways/ways.h"

namespace tovane::cli {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<std::string> arguments) {
    return parseCommandLine(arguments);
}

TEST(CommandLine, DefaultsToHundredKilobytesAndTheSourceName) {
    const CommandLine line = parse({"/books/my.novel.txt", "/out"});
    ASSERT_EQ(line.action, Action::Split);
    EXPECT_EQ(line.request.mode, SplitMode::BySize);
    EXPECT_EQ(line.request.numberText, "100");
    EXPECT_EQ(line.request.baseName, "my.novel");
    EXPECT_EQ(line.request.saveFolder, "/out");  // the run's checks end it in a separator
}

TEST(CommandLine, OptionsInBothSpellings) {
    CommandLine line = parse({"--parts", "7", "--base=第一卷", "a.txt", "/out/"});
    ASSERT_EQ(line.action, Action::Split);
    EXPECT_EQ(line.request.mode, SplitMode::ByCount);
    EXPECT_EQ(line.request.numberText, "7");
    EXPECT_EQ(line.request.baseName, "第一卷");
    EXPECT_EQ(line.request.saveFolder, "/out/");
    line = parse({"--size=250", "a.txt", "o"});
    EXPECT_EQ(line.request.numberText, "250");
}

TEST(CommandLine, BaseNameWithoutDotOrOnlyADot) {
    EXPECT_EQ(parse({"/x/README", "o"}).request.baseName, "README");
    EXPECT_EQ(parse({"/x/.txt", "o"}).request.baseName, "");
    EXPECT_EQ(parse({"dir.d/name", "o"}).request.baseName, "name");
}

TEST(CommandLine, UsageErrors) {
    EXPECT_EQ(parse({"a.txt"}).action, Action::UsageError);
    EXPECT_EQ(parse({"--size", "1", "--parts", "2", "a", "b"}).action, Action::UsageError);
    EXPECT_EQ(parse({"--size"}).action, Action::UsageError);
    EXPECT_EQ(parse({"--frobnicate", "a", "b"}).action, Action::UsageError);
    EXPECT_EQ(parse({"a", "b", "c"}).action, Action::UsageError);
    // A base name with a folder in it would put parts outside the save folder.
    EXPECT_EQ(parse({"--base", "../escaped", "a", "b"}).action, Action::UsageError);
    EXPECT_EQ(parse({"--why", "a", "b"}).action, Action::UsageError);
    EXPECT_TRUE(parse({"--list-chapters", "--why", "a"}).why);
    EXPECT_EQ(parse({"--help"}).action, Action::Help);
    EXPECT_EQ(parse({"a", "--version"}).action, Action::Version);
    // A source whose name starts with a dash, after "--".
    const CommandLine line = parse({"--", "-odd.txt", "/o"});
    EXPECT_EQ(line.action, Action::Split);
    EXPECT_EQ(line.request.sourcePath, "-odd.txt");
}

// Every way of the table has its spelling here, and the spelling reaches it.
TEST(CommandLine, EveryWayOfTheTableIsReachedByItsOption) {
    for (const SplitWay* way : allWays()) {
        ASSERT_FALSE(way->option.empty());
        std::vector<std::string> arguments{std::string(way->option), "3"};
        if (!way->flag.empty()) arguments.emplace_back(way->flag);
        arguments.insert(arguments.end(), {"a.txt", "out"});
        const CommandLine line = parse(arguments);
        ASSERT_EQ(line.action, Action::Split) << line.error;
        EXPECT_EQ(line.request.mode, way->mode) << way->option << " " << way->flag;
        EXPECT_EQ(line.request.numberText, "3");
    }
    EXPECT_EQ(parse({"--parts", "3", "--at-chapters", "a", "b"}).action, Action::UsageError);
}

}  // namespace
}  // namespace tovane::cli
