// Faults during a run: the save folder vanishing or turning read-only, the
// source changing under the split, sources that are no regular files, no
// thread to be had for reading ahead. In every case the run must say so (or
// do without), show no summary, leave no incomplete part and keep the parts
// it completed.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "split/split_run.h"
#include "split/split_texts.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::readFile;
using test::TempDir;

std::string numberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(1000 + i) + "\r\n";  // 11 bytes
    return text;
}

class FaultTest : public ::testing::Test {
protected:
    SplitOutcome split(const std::string& content, std::uint64_t limit,
                       const std::function<void(int call)>& onProgress) {
        plan.sourcePath = in.write("novel.txt", content);
        return run(limit, onProgress);
    }
    SplitOutcome run(std::uint64_t limit, const std::function<void(int call)>& onProgress) {
        plan.saveFolder = out;
        plan.baseName = "novel";
        plan.byteLimit = limit;
        int calls = 0;
        RunOptions options;
        options.pieceSize = 256;
        return executeSplit(
            plan, [&](const SplitProgress&) { onProgress(++calls); }, nullptr, options);
    }
    // Every part left must be whole: exactly the lines the split gave it.
    void expectCompletedPartsIntact(const std::string& content, std::uint64_t partsKept,
                                    std::size_t linesPerPart) {
        for (std::uint64_t n = 1; n <= partsKept; ++n) {
            const std::string expected =
                content.substr((n - 1) * linesPerPart * 11, linesPerPart * 11);
            EXPECT_EQ(readFile(out + "novel_" + std::to_string(n) + ".txt"), expected) << n;
        }
        EXPECT_FALSE(test::exists(out + "novel_" + std::to_string(partsKept + 1) + ".txt"));
    }

    // Lets user nobody read the source and write the save folder, so that a
    // run can be made as another user than root, whom permissions don't bind.
    void openToNobody() {
        ::chmod(in.path().c_str(), 0755);
        ::chmod(base.path().c_str(), 0755);
        ::chmod(plan.sourcePath.c_str(), 0644);
        if (asRoot) {
            ASSERT_EQ(::chown(out.c_str(), kNobody, kNobody), 0);
        }
    }

    static constexpr uid_t kNobody = 65534;
    const bool asRoot = ::geteuid() == 0;
    TempDir in;
    TempDir base;
    std::string out = base.makeDir("out");
    SplitPlan plan;
};

TEST_F(FaultTest, SaveFolderRemovedMidRun) {
    const std::string content = numberedLines(200);
    const SplitOutcome outcome = split(content, 110, [&](int call) {
        if (call == 3) std::filesystem::remove_all(out);
    });
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_NE(outcome.message.find("无法创建文件“" + out + "novel_"), std::string::npos);
    EXPECT_NE(outcome.message.find("路径不存在"), std::string::npos);
    EXPECT_EQ(outcome.status.find("已经被分割成了"), std::string::npos);
    EXPECT_EQ(readFile(plan.sourcePath), content);
}

TEST_F(FaultTest, SaveFolderMadeReadOnlyMidRun) {
    // Root writes into read-only folders; the run takes another user's part.
    const std::string content = numberedLines(200);
    const std::string source = in.write("novel.txt", content);
    plan.sourcePath = source;
    ASSERT_NO_FATAL_FAILURE(openToNobody());
    if (asRoot) {
        ASSERT_EQ(::seteuid(kNobody), 0);
    }
    const SplitOutcome outcome = run(110, [&](int call) {
        if (call == 3) ::chmod(out.c_str(), 0555);
    });
    if (asRoot) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod(out.c_str(), 0755);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_NE(outcome.message.find("没有访问权限"), std::string::npos) << outcome.message;
    // Parts complete but not yet named can't be named in a read-only folder.
    expectCompletedPartsIntact(content, outcome.parts, 10);
    EXPECT_EQ(texts::statusAfter(outcome, plan), texts::interrupted("novel", outcome.parts));
    EXPECT_EQ(readFile(source), content);
}

TEST_F(FaultTest, SourceThatShrinksIsReportedAsChanged) {
    const std::string content = numberedLines(300);
    const SplitOutcome outcome = split(content, 110, [&](int call) {
        if (call == 4) {
            ASSERT_EQ(::truncate(plan.sourcePath.c_str(), 1100), 0);
        }
    });
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, texts::sourceChanged(plan.sourcePath));
    expectCompletedPartsIntact(content, outcome.parts, 10);
}

TEST_F(FaultTest, SourceThatGrowsIsReportedAsChanged) {
    const std::string content = numberedLines(300);
    const SplitOutcome outcome = split(content, 110, [&](int call) {
        if (call == 4) {
            std::FILE* file = std::fopen(plan.sourcePath.c_str(), "ab");
            std::fputs("more\r\n", file);
            std::fclose(file);
        }
    });
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, texts::sourceChanged(plan.sourcePath));
    expectCompletedPartsIntact(content, outcome.parts, 10);
}

TEST_F(FaultTest, SourceThatShrinksInsideALongLine) {
    const std::string content = "a\r\n" + std::string(5000, 'b') + "\r\n";
    const SplitOutcome outcome = split(content, 0, [&](int call) {
        if (call == 2) {
            ASSERT_EQ(::truncate(plan.sourcePath.c_str(), 1000), 0);
        }
    });
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_EQ(outcome.message, texts::sourceChanged(plan.sourcePath));
    EXPECT_EQ(readFile(out + "novel_1.txt"), "a\r\n");
    EXPECT_FALSE(test::exists(out + "novel_2.txt"));
}

TEST_F(FaultTest, NoThreadToSpareStillSplitsEveryByte) {
    const std::string content = numberedLines(300);
    plan.sourcePath = in.write("novel.txt", content);
    // A child that may have no more threads: as user nobody (root is exempt
    // from the limit), with a process limit it already exceeds.
    ASSERT_NO_FATAL_FAILURE(openToNobody());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (asRoot && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(3);
        const rlimit none{0, 0};
        if (::setrlimit(RLIMIT_NPROC, &none) != 0) ::_exit(3);
        try {
            std::thread([] {}).join();
            ::_exit(2);  // the limit did not stop a thread: the test proves nothing
        } catch (const std::system_error&) {
        }
        try {
            const SplitOutcome outcome = run(1100, [](int) {});
            const bool whole = outcome.result == SplitOutcome::Result::Done && outcome.parts == 3 &&
                               readFile(out + "novel_1.txt") + readFile(out + "novel_2.txt") +
                                       readFile(out + "novel_3.txt") ==
                                   content;
            ::_exit(whole ? 0 : 1);
        } catch (...) {
            ::_exit(4);  // never back into the test runner from the child
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the split died without a thread";
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not take the thread away";
    EXPECT_NE(WEXITSTATUS(status), 4) << "the split threw for want of a thread";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(FaultTest, FifoAndDeviceSourcesAreRefusedWithoutWaiting) {
    const std::string fifo = in.file("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& source : {fifo, std::string("/dev/zero")}) {
        SplitRequest request;
        request.sourcePath = source;
        request.saveFolder = out;
        request.baseName = "novel";
        const SplitCheck check = checkSplitRequest(request);
        EXPECT_FALSE(check.plan.has_value());
        EXPECT_EQ(check.message, texts::kSourceMissing);
    }
    // Swapped in after the check: the run itself refuses it too.
    SplitPlan swapped;
    swapped.sourcePath = fifo;
    swapped.saveFolder = out;
    swapped.baseName = "novel";
    const SplitOutcome outcome = executeSplit(swapped);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::Failed);
    EXPECT_NE(outcome.message.find("不是可以分割的普通文件"), std::string::npos);
    EXPECT_TRUE(base.list("out").empty());
}

}  // namespace
}  // namespace tovane
