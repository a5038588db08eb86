// The strict cap: no part larger than the cap, lines cut only between
// characters, and the parts joined give back the source with CR LF ends.
#include "split/ways/max_size_way.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "split/split_run.h"
#include "support/encode.h"
#include "support/reference_split.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

class MaxSizeRuleTest : public ::testing::TestWithParam<SourceFormat> {};

// Short lines, lines that no part can hold (Chinese, with characters of four
// bytes among them where the encoding has them), an empty one, and line ends
// of every kind; the last line has none.
struct Novel {
    std::string source;
    std::string withCrLf;  // the lines, each ending in CR LF
};

Novel novel(SourceFormat encoding) {
    std::string longLine;
    for (int i = 0; i < 300; ++i) {
        // GBK files saved as GB18030 hold four-byte characters too ("#" here).
        longLine += i % 7 != 3 ? "雨" : encoding == SourceFormat{Encoding::Gbk, false} ? "#" : "😀";
    }
    const std::string lines[] = {"第一章 山雨", longLine, "", "短句。", longLine + "a", longLine};
    const std::string ends[] = {"\r\n", "\n", "\r", "\r\n", "\r", ""};
    Novel text;
    text.source = std::string(encoding.mark());
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        text.source += test::encode(lines[i] + ends[i], encoding);
        text.withCrLf += test::encode(lines[i] + "\r\n", encoding);
    }
    for (std::string* bytes : {&text.source, &text.withCrLf}) {
        for (std::size_t at = 0; (at = bytes->find('#', at)) != std::string::npos;) {
            bytes->replace(at, 1, "\x95\x32\x82\x36");  // U+10000
        }
    }
    return text;
}

TEST_P(MaxSizeRuleTest, PartsStayWithinTheCapAndJoinToTheSource) {
    const SourceFormat encoding = GetParam();
    const std::string bom(encoding.mark());
    const Novel text = novel(encoding);
    const std::uint64_t smallest = MaxSizeRule::smallestCap(encoding);
    test::TempDir dir;
    SplitPlan plan;
    plan.sourcePath = dir.write("novel.txt", text.source);
    plan.baseName = "p";
    plan.mode = SplitMode::ByMaxSize;
    for (const std::uint64_t cap : {smallest, smallest + 3, std::uint64_t{100}}) {
        const std::vector<std::string> expected = test::referenceMaxSizeSplit(text.source, cap);
        std::string joined;
        for (const std::string& part : expected) {
            ASSERT_LE(part.size(), cap);
            ASSERT_EQ(part.substr(0, bom.size()), bom);
            joined += part.substr(bom.size());
        }
        ASSERT_EQ(joined, text.withCrLf) << "cap " << cap;
        for (const std::size_t buffer : {std::size_t{16}, std::size_t{1} << 20}) {
            plan.byteLimit = cap;
            plan.saveFolder =
                dir.makeDir("out" + std::to_string(cap) + "-" + std::to_string(buffer));
            const SplitOutcome outcome = executeSplit(plan, {}, nullptr, {buffer});
            ASSERT_EQ(outcome.result, SplitOutcome::Result::Done) << outcome.message;
            ASSERT_EQ(outcome.parts, expected.size()) << "cap " << cap << " buffer " << buffer;
            for (std::size_t n = 0; n < expected.size(); ++n) {
                ASSERT_EQ(test::readFile(plan.saveFolder + "p_" + std::to_string(n + 1) + ".txt"),
                          expected[n])
                    << "cap " << cap << " buffer " << buffer << " part " << n + 1;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, MaxSizeRuleTest,
                         ::testing::Values(SourceFormat{Encoding::Gbk, false},
                                           SourceFormat{Encoding::Utf8, false},
                                           SourceFormat{Encoding::Utf8, true},
                                           SourceFormat{Encoding::Utf16Le, true},
                                           SourceFormat{Encoding::Utf16Be, true}));

}  // namespace
}  // namespace tovane
