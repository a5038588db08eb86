// How parts come to their names: whatever stands at a part's name is
// replaced, never opened or written through; nothing lands outside the save
// folder; no name ever leads to an incomplete part; and what earlier runs
// left is cleared away when it is a hidden leftover, and named otherwise.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "split/split_run.h"
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
        return executeSplit(plan, progress, nullptr, RunOptions{64});
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
    const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, texts::baseNameNotPlain("../escaped"));
    EXPECT_EQ(base.list(), (std::vector<std::string>{"elsewhere", "out"}));
}

// Every part past this run's last is counted, gaps or not, and they stay.
TEST_F(PartFilesTest, PartsLeftByAnEarlierRunAreNamedNotRemoved) {
    split("a\r\nb\r\nc\r\nd\r\n", 0);
    const SplitOutcome outcome = split("a\r\nb\r\nc\r\nd\r\n", 1000);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Done);
    EXPECT_EQ(outcome.parts, 1u);
    EXPECT_EQ(outcome.message,
              "保存文件夹里还有以前留下的 novel_2.txt 等 3 个文件，它们不是这次分割的结果。");
    EXPECT_EQ(part(4), "d\r\n");
    for (int n : {7, 8, 9, 10, 12, 13}) test::writeFile(partName(n), "old");
    std::string six;
    for (int i = 0; i < 6; ++i) six += std::string(30, 'x') + "\r\n";
    EXPECT_EQ(split(six, 0).message,
              "保存文件夹里还有以前留下的 novel_7.txt 等 6 个文件，它们不是这次分割的结果。");
}

// The first run takes the folder for its base name; the second, into the
// same folder with the same base name, is refused before it writes a byte.
TEST_F(PartFilesTest, OneRunAtATimeWritesOneBaseNameIntoOneFolder) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += std::string(40, 'a') + "\r\n";
    const std::string source = in.write("one.txt", text);
    bool secondDone = false;
    SplitOutcome second;
    SplitOutcome otherBase;
    SplitPlan both;
    both.sourcePath = source;
    both.saveFolder = out;
    both.baseName = "novel";
    both.byteLimit = 420;
    // The second run starts while the first is writing its parts.
    const auto whileWriting = [&](const SplitProgress& now) {
        if (now.part != 3 || secondDone) return;
        second = executeSplit(both, {}, nullptr);
        SplitPlan other = both;
        other.baseName = "other";
        otherBase = executeSplit(other, {}, nullptr);
        secondDone = true;
    };
    const SplitOutcome first = executeSplit(both, whileWriting, nullptr, RunOptions{256});
    ASSERT_TRUE(secondDone);
    EXPECT_EQ(first.result, SplitOutcome::Result::Done) << first.message;
    EXPECT_EQ(first.parts, 300u);
    EXPECT_EQ(second.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(second.message, texts::anotherRunWrites("novel"));
    EXPECT_EQ(second.parts, 0u);
    EXPECT_EQ(otherBase.result, SplitOutcome::Result::Done) << "another base name is not held back";
    EXPECT_EQ(base.list("out").size(), 600u);
    // Let go at the end: the next run may go.
    EXPECT_EQ(executeSplit(both, {}, nullptr).result, SplitOutcome::Result::Done);
}

// Under the folder's lock, every hidden part of the base name is a leftover,
// whatever process id an older run put in its name and whether that id now
// belongs to a live process; other base names' are not ours, and the source
// is never removed, whatever it is called.
// Only names with our tag go: an editor's swap file, a user's backup, the
// untagged names of older versions and another base name's lock all stay.
TEST_F(PartFilesTest, HiddenLeftoversOfTheBaseNameAreRemovedOthersKept) {
    const std::vector<std::string> kept = {
        ".novel_1.txt.backup",       ".novel_1.txt.bak",          ".novel_1.txt.swp",
        ".novel_1.txt.tovane-lock",  ".novel_3.txt.12345-abc123", ".novel_3.txt.my notes",
        ".novel_3.txt.tovane-abc12", ".other_3.txt.tovane-k2x9qa"};
    for (const std::string& name : kept) test::writeFile(out + name, "x");
    for (const char* name : {".novel_3.txt.tovane-k3x9q2", ".novel_12.txt.tovane-000000"}) {
        test::writeFile(out + name, "x");
    }
    plan.sourcePath = out + ".novel_7.txt.tovane-abcdef";  // never removed, whatever its name
    test::writeFile(plan.sourcePath, "a\r\n");
    plan.saveFolder = out;
    plan.baseName = "novel";
    plan.byteLimit = 100;
    EXPECT_EQ(executeSplit(plan, {}, nullptr).result, SplitOutcome::Result::Done);
    std::vector<std::string> expected = kept;
    expected.push_back(".novel_7.txt.tovane-abcdef");
    expected.push_back("novel_1.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(base.list("out"), expected);
}

// A folder where nothing can be made is named as such, not by the lock file
// the run tried first (here the lock's name is taken by a folder).
TEST_F(PartFilesTest, AFolderThatCantBeWrittenIsNamed) {
    plan.sourcePath = elsewhere + "novel.txt";
    test::writeFile(plan.sourcePath, "a\r\n");
    plan.saveFolder = out;
    plan.baseName = "novel";
    std::filesystem::create_directory(out + ".novel.tovane-lock");
    const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(outcome.message.find("无法在保存文件夹“" + out + "”里写入文件"), 0u)
        << outcome.message;
}

// A source under the name of the lock file is refused, and stays.
TEST_F(PartFilesTest, ASourceNamedLikeTheLockIsRefusedNotRemoved) {
    plan.sourcePath = out + ".novel.tovane-lock";
    test::writeFile(plan.sourcePath, "a\r\n");
    plan.saveFolder = out;
    plan.baseName = "novel";
    const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
    EXPECT_NE(outcome.message.find("锁文件"), std::string::npos) << outcome.message;
    EXPECT_EQ(base.list("out"), std::vector<std::string>{".novel.tovane-lock"});
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

// Windows takes NOVEL_2.TXT for novel_2.txt: the source under that name is
// one of the parts' names too.
TEST_F(PartFilesTest, SourceUnderAPartNameInOtherLettersIsRefused) {
    plan.sourcePath = out + "NOVEL_2.TXT";
    test::writeFile(plan.sourcePath, "a\r\nb\r\n");
    test::writeFile(partName(1), "OLD");
    plan.saveFolder = out;
    plan.baseName = "novel";
    const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(outcome.message, texts::partIsSource(out + "NOVEL_2.TXT"));
    EXPECT_EQ(part(1), "OLD");
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
    const SplitOutcome outcome = executeSplit(plan, {}, nullptr);
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
