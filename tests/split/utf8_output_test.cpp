// Parts written in UTF-8: the same lines in the same parts as without it,
// every byte converted as the reference converter does, a cap counted in the
// bytes written, and a book with a byte that doesn't convert refused before
// any part.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "split/split_run.h"
#include "split/split_texts.h"
#include "split/text/utf8_conversion.h"
#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::readFile;
using test::TempDir;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A book with headings, a preface, blank lines, and one line far longer
// than the rest.
std::string book() {
    std::string text = "《雪夜》\r\n作者：某人\r\n\r\n";
    for (int n = 1; n <= 12; ++n) {
        text += "第" + std::to_string(n) + "章 归途\r\n";
        for (int k = 0; k < 20; ++k) text += "　　风雪夜里，他走了很远的路。Snow °😀\r\n";
    }
    for (int k = 0; k < 400; ++k) text += "长句子";
    return text + "\r\n";
}

class Utf8OutputTest : public ::testing::Test {
protected:
    static SplitRequest requestFor(const std::string& source, SplitMode mode, const char* number,
                                   const TempDir& into, bool toUtf8 = true) {
        SplitRequest request;
        request.sourcePath = source;
        request.saveFolder = into.path();
        request.baseName = "novel";
        request.mode = mode;
        request.numberText = number;
        request.toUtf8 = toUtf8;
        return request;
    }

    // The parts of a run, each as written.
    std::vector<std::string> split(const std::string& source, SplitMode mode, const char* number,
                                   bool toUtf8, SplitOutcome* outcome = nullptr) {
        const TempDir& into = toUtf8 ? converted : plain;
        const SplitRequest request = requestFor(source, mode, number, into, toUtf8);
        const SplitCheck check = checkSplitRequest(request);
        EXPECT_TRUE(check.plan) << check.message;
        if (!check.plan) return {};
        const SplitOutcome done = executeSplit(*check.plan);
        if (outcome != nullptr) *outcome = done;
        std::vector<std::string> parts;
        for (std::uint64_t n = 1; n <= done.parts; ++n) {
            parts.push_back(readFile(into.file("novel_" + std::to_string(n) + ".txt")));
        }
        return parts;
    }

    TempDir in;
    TempDir plain;
    TempDir converted;
};

TEST_F(Utf8OutputTest, SameCutsEveryByteConverted) {
    const std::string text = book();
    for (SourceFormat encoding :
         {SourceFormat{Encoding::Gbk, false}, SourceFormat{Encoding::Utf8, false},
          SourceFormat{Encoding::Utf8, true}, SourceFormat{Encoding::Utf16Le, true},
          SourceFormat{Encoding::Utf16Be, true}}) {
        const std::string_view mark = encoding.mark();
        const std::string source =
            in.write("novel.txt", std::string(mark) + test::encode(text, encoding));
        for (SplitMode mode : {SplitMode::ByCount, SplitMode::ByChapters}) {
            const std::vector<std::string> before = split(source, mode, "3", false);
            const std::vector<std::string> after = split(source, mode, "3", true);
            ASSERT_EQ(before.size(), after.size())
                << encoding.codec().name() << (encoding.marked ? "+mark " : " ") << int(mode);
            ASSERT_GT(before.size(), 2u);
            std::string joined;
            for (std::size_t i = 0; i < after.size(); ++i) {
                ASSERT_EQ(after[i].substr(0, 3), kUtf8Mark);
                const std::string utf8 = after[i].substr(3);
                EXPECT_EQ(std::string(mark) + test::encode(utf8, encoding), before[i]) << i;
                joined += utf8;
            }
            EXPECT_EQ(joined, text);
        }
    }
}

// By size, a part is measured in the bytes it holds: about the size asked
// for as written, its summary true.
TEST_F(Utf8OutputTest, BySizeMeasuresThePartsAsWritten) {
    const std::string text = book();
    const std::string source =
        in.write("novel.txt", test::encode(text, SourceFormat{Encoding::Gbk, false}));
    SplitOutcome outcome;
    const std::vector<std::string> parts = split(source, SplitMode::BySize, "2", true, &outcome);
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    // Each part up to the limit, past it by no more than the line that passed
    // it, but for the long line alone in its own; about as many as the bytes
    // written make.
    std::string joined;
    for (const std::string& part : parts) {
        if (part.size() < 3000) {
            EXPECT_LT(part.size(), 2048u + 100);
        }
        joined += part.substr(3);
    }
    EXPECT_EQ(joined, text);
    EXPECT_GE(parts.size(), text.size() / 2048);
    EXPECT_TRUE(outcome.status.ends_with("“2”KB")) << outcome.status;
}

TEST_F(Utf8OutputTest, CapCountsTheBytesWritten) {
    const std::string text = book();
    const std::string source =
        in.write("novel.txt", test::encode(text, SourceFormat{Encoding::Gbk, false}));
    SplitOutcome outcome;
    const std::vector<std::string> parts = split(source, SplitMode::ByMaxSize, "1", true, &outcome);
    ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
    std::string joined;
    bool full = false;  // some part fills the cap to within a character
    for (const std::string& part : parts) {
        EXPECT_LE(part.size(), 1024u);
        full = full || part.size() > 1020;
        EXPECT_EQ(part.substr(0, 3), kUtf8Mark);
        joined += part.substr(3);
    }
    EXPECT_TRUE(full);
    EXPECT_EQ(joined, text);
    // The long line, cut in UTF-8, leaves every part whole characters.
    for (const std::string& part : parts) {
        std::size_t badAt = 0;
        EXPECT_GE(Utf8Conversion::lengthOf(utf8Codec(), part.substr(3), badAt), 0);
    }

    // Padded, the numbers take the width of the parts counted in UTF-8 (10
    // of them at 2 KB, where the book's own bytes make 8).
    const TempDir padded;
    SplitRequest request = requestFor(source, SplitMode::ByMaxSize, "2", padded);
    request.pad = true;
    const SplitOutcome counted = executeSplit(*checkSplitRequest(request).plan);
    ASSERT_EQ(counted.parts, 10u);
    EXPECT_EQ(padded.list().front(), "novel_01.txt");
    EXPECT_EQ(padded.list().back(), "novel_10.txt");
}

TEST_F(Utf8OutputTest, ABookWithAByteThatDoesntConvertIsRefusedBeforeAnyPart) {
    std::string bytes = test::encode(book(), SourceFormat{Encoding::Gbk, false});
    const std::size_t line4 =
        bytes.find(test::encode("\r\n第1章", SourceFormat{Encoding::Gbk, false})) + 2;
    bytes.insert(line4 + 6, "\x81\x20");
    const std::string source = in.write("novel.txt", bytes);
    SplitRequest request = requestFor(source, SplitMode::ByChapters, "1", converted);
    request.titleNames = true;
    const SplitOutcome outcome = executeSplit(*checkSplitRequest(request).plan);
    EXPECT_EQ(outcome.result, SplitOutcome::Result::CheckFailed);
    EXPECT_EQ(outcome.message, texts::unconvertible(4, line4 + 6));
    EXPECT_TRUE(converted.list().empty());

    // Far into a book of many parts: the parts made before it never take
    // their names, and go; also where so many would wait that the rest of
    // the file is checked beside the run.
    for (const int lines : {3000, 10000}) {
        std::string many;
        for (int n = 0; n < lines; ++n) many += "line\r\n";
        many += "\xFF\r\n";
        request.sourcePath = in.write("many.txt", many);
        request.mode = SplitMode::BySize;
        request.numberText = "0";
        const SplitOutcome late = executeSplit(*checkSplitRequest(request).plan);
        EXPECT_EQ(late.message,
                  texts::unconvertible(static_cast<std::uint64_t>(lines) + 1, many.size() - 3));
        EXPECT_EQ(late.parts, 0u);
        EXPECT_TRUE(converted.list().empty());
    }

    // Offsets count the byte-order mark; a character cut off by the end of
    // the file, past a line longer than any piece read, is refused too.
    const std::string utf16 = std::string(
        "\xFF\xFE"
        "a\0\r\0\n\0"
        "b\0\x00\xDC\r\0\n\0",
        16);
    const std::string cut = "x\r\n" + std::string(300000, 'a') + "\xB0";
    for (const auto& [text, line, offset] : {std::tuple{utf16, std::uint64_t{2}, std::size_t{10}},
                                             std::tuple{cut, std::uint64_t{2}, cut.size() - 1}}) {
        request.sourcePath = in.write("odd.txt", text);
        EXPECT_EQ(executeSplit(*checkSplitRequest(request).plan).message,
                  texts::unconvertible(line, offset));
    }
    EXPECT_TRUE(converted.list().empty());
}

}  // namespace
}  // namespace tovane
