// How parts come to their names: whatever stands at a part's name is
// replaced, never opened or written through; nothing lands outside the save
// folder; no name ever leads to an incomplete part; and what earlier runs
// left is cleared away when it is a hidden leftover, and named otherwise.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "split/io/windows_paths.h"
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "split/io/file_system.h"
#include "split/line_splitter.h"
#include "split/split_texts.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::readFile;
using test::TempDir;

class PartFilesTest : public ::testing::Test {
protected:
    SplitOutcome split(const std::string& content, std::uint64_t limit,
                       const ProgressCallback& progress = {}) {
        plan.sourcePath = in.write("novel.txt", content);
        plan.saveFolder = out;
        plan.baseName = "novel";
        plan.byteLimit = limit;
        return LineSplitter(plan, progress, nullptr, LineSplitter::Options{64}).run();
    }
    std::string partName(int n) const { return out + "novel_" + std::to_string(n) + ".txt"; }
    std::string part(int n) const { return readFile(partName(n)); }

    TempDir in;
    TempDir base;
    std::string out = base.makeDir("out");
    std::string elsewhere = base.makeDir("elsewhere");
    SplitPlan plan;
};

TEST_F(PartFilesTest, BaseNameWithAFolderInItIsRefusedByTheRunItself) {
    plan.sourcePath = in.write("novel.txt", "l1\r\n");
    plan.saveFolder = out;
    plan.baseName = "../escaped";
    const SplitOutcome outcome = LineSplitter(plan, {}, nullptr).run();
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, texts::baseNameNotPlain("../escaped"));
    EXPECT_EQ(base.list(), (std::vector<std::string>{"elsewhere", "out"}));
}

TEST_F(PartFilesTest, PartsLeftByAnEarlierRunAreNamedNotRemoved) {
    split("a\r\nb\r\nc\r\nd\r\n", 0);
    const SplitOutcome outcome = split("a\r\nb\r\nc\r\nd\r\n", 1000);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Done);
    EXPECT_EQ(outcome.parts, 1u);
    EXPECT_EQ(outcome.message,
              "保存文件夹里还有以前留下的 novel_2.txt 等 3 个文件，它们不是这次分割的结果。");
    EXPECT_EQ(part(4), "d\r\n");
    std::filesystem::remove(partName(3));
    EXPECT_EQ(split("a\r\n", 1000).message,
              "保存文件夹里还有以前留下的 novel_2.txt，它不是这次分割的结果。");
}

TEST_F(PartFilesTest, TwoRunsAtOnceLeaveOnlyWholeParts) {
    auto novel = [](char letter) {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += std::string(40, letter) + "\r\n";
        return text;
    };
    const std::string one = in.write("one.txt", novel('a'));
    const std::string two = in.write("two.txt", novel('b'));
    auto run = [&](const std::string& source) {
        SplitPlan both;
        both.sourcePath = source;
        both.saveFolder = out;
        both.baseName = "novel";
        both.byteLimit = 42 * 10;  // ten lines a part
        return LineSplitter(both, {}, nullptr, LineSplitter::Options{256}).run();
    };
    SplitOutcome first;
    std::thread other([&] { first = run(one); });
    const SplitOutcome second = run(two);
    other.join();
    EXPECT_EQ(first.result, SplitOutcome::Result::Done) << first.message;
    EXPECT_EQ(second.result, SplitOutcome::Result::Done) << second.message;
    for (int n = 1; n <= 300; ++n) {
        const std::string text = part(n);
        EXPECT_TRUE(text == novel('a').substr(0, 420) || text == novel('b').substr(0, 420)) << n;
    }
    EXPECT_EQ(base.list("out").size(), 300u);
}

#ifndef _WIN32
TEST_F(PartFilesTest, WhatStandsAtAPartsNameIsReplacedNeverWrittenThrough) {
    const std::string precious = elsewhere + "imp.conf";
    test::writeFile(precious, "precious");
    ASSERT_EQ(::symlink(precious.c_str(), (out + "novel_1.txt").c_str()), 0);
    ASSERT_EQ(::symlink((elsewhere + "new.txt").c_str(), (out + "novel_2.txt").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/null", (out + "novel_3.txt").c_str()), 0);
    ASSERT_EQ(::mkfifo((out + "novel_4.txt").c_str(), 0644), 0);  // opening it would hang
    ASSERT_EQ(::link(precious.c_str(), (out + "novel_5.txt").c_str()), 0);
    const SplitOutcome outcome = split("l1\r\nl2\nl3\rl4\r\nl5\r\n", 0);
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    EXPECT_EQ(outcome.parts, 5u);
    for (int n = 1; n <= 5; ++n) {
        struct stat info {};
        ASSERT_EQ(::lstat(partName(n).c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode) && info.st_nlink == 1) << n;
        EXPECT_EQ(part(n), "l" + std::to_string(n) + "\r\n");
    }
    EXPECT_EQ(readFile(precious), "precious");
    EXPECT_EQ(base.list("elsewhere"), std::vector<std::string>{"imp.conf"});
}

TEST_F(PartFilesTest, NameThatComesToLeadToTheSourceMidRunIsNotReplaced) {
    std::string content;
    for (int i = 0; i < 100; ++i) content += "line " + std::to_string(100 + i) + "\r\n";
    // While part 7 is being written, its name is made a second name of the source.
    const SplitOutcome outcome = split(content, 50, [&](const SplitProgress&) {
        for (const std::string& name : base.list("out")) {
            if (name.rfind(".novel_7.txt.", 0) == 0 && !test::exists(out + "novel_7.txt")) {
                ASSERT_EQ(::link(plan.sourcePath.c_str(), (out + "novel_7.txt").c_str()), 0);
            }
        }
    });
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, texts::partIsSource(out + "novel_7.txt"));
    EXPECT_EQ(outcome.parts, 6u);
    EXPECT_EQ(readFile(plan.sourcePath), content);
    EXPECT_EQ(readFile(out + "novel_7.txt"), content);
    EXPECT_EQ(base.list("out").size(), 7u);  // six parts and the source's name; nothing hidden
}

TEST_F(PartFilesTest, HiddenLeftoversOfARunThatDiedAreRemovedOthersKept) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);  // gone for good
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(::getppid());
    for (const std::string& name :
         {".novel_3.txt." + dead + "-abc123", ".tovane-" + dead + "-zz9zz9.tmp",
          ".novel_3.txt." + alive + "-abc123", ".other_3.txt." + dead + "-abc123",
          std::string(".novel_3.txt.notes")}) {
        test::writeFile(out + name, "x");
    }
    split("a\r\n", 100);
    EXPECT_EQ(base.list("out"),
              (std::vector<std::string>{".novel_3.txt." + alive + "-abc123", ".novel_3.txt.notes",
                                        ".other_3.txt." + dead + "-abc123", "novel_1.txt"}));
}

#else
// What a Windows user meets: a part open in another program, a part marked
// read-only, Chinese names and paths past the old 260-character limit.

TEST_F(PartFilesTest, PartOpenInAnotherProgramIsNamedInTheMessage) {
    test::writeFile(partName(1), "old");
    const HANDLE other = ::CreateFileW(windows::systemPath(partName(1)).c_str(), GENERIC_READ, 0,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const SplitOutcome outcome = split("a\r\n", 100);
    ::CloseHandle(other);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message,
              "无法创建文件“" + partName(1) + "”：文件正被其他程序使用，请关闭它后重试");
    EXPECT_EQ(part(1), "old");
    EXPECT_EQ(base.list("out"), std::vector<std::string>{"novel_1.txt"});
}

TEST_F(PartFilesTest, ReadOnlyPartIsRefusedWithItsReason) {
    test::writeFile(partName(1), "old");
    ASSERT_TRUE(::SetFileAttributesW(windows::widen(partName(1)).c_str(), FILE_ATTRIBUTE_READONLY));
    const SplitOutcome outcome = split("a\r\n", 100);
    ::SetFileAttributesW(windows::widen(partName(1)).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, "无法创建文件“" + partName(1) + "”：没有访问权限");
    EXPECT_EQ(part(1), "old");
}

TEST_F(PartFilesTest, ChineseNamesAndLongPathsWork) {
    std::string folder = out;
    while (folder.size() < 300) {
        folder += "很长的文件夹名字很长的文件夹名字\\";
        ASSERT_TRUE(::CreateDirectoryW(windows::systemPath(folder).c_str(), nullptr));
    }
    plan.sourcePath = in.write("小说.txt", "第一章\r\n第二章\n");
    plan.saveFolder = folder;
    plan.baseName = "小说";
    plan.byteLimit = 0;
    const SplitOutcome outcome = LineSplitter(plan, {}, nullptr).run();
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    EXPECT_EQ(outcome.parts, 2u);
    EXPECT_TRUE(files::kindAt(folder + "小说_2.txt") == files::EntryKind::File);
    NativeFile second;
    ASSERT_TRUE(second.openForReading(folder + "小说_2.txt"));
    char bytes[16] = {};
    EXPECT_EQ(second.readAt(0, bytes, sizeof bytes), 11);
    EXPECT_EQ(std::string(bytes, 11), "第二章\r\n");
}
#endif

}  // namespace
}  // namespace tovane
