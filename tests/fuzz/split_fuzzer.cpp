// Fuzz target: arbitrary bytes and limits through the real split into a
// temporary folder, checked against the simple in-memory splitter. The first
// two bytes choose the byte limit (and with the top bit set, a strict cap
// rather than a size), the third the read buffer's size, the rest is the
// source file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "split/split_run.h"
#include "support/reference_split.h"
#include "support/temp_dir.h"

namespace {

[[noreturn]] void fail(const char* what, std::size_t part) {
    std::fprintf(stderr, "split_fuzzer: %s (part %zu)\n", what, part);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    static tovane::test::TempDir dir;
    static const std::string out = dir.makeDir("out");

    const bool capped = (data[1] & 0x80) != 0;
    // A cap holds at least a byte-order mark, a character and CR LF in any encoding.
    const std::uint64_t limit =
        (std::uint64_t{data[0]} | std::uint64_t{data[1]} << 8) % 4096 + (capped ? 10 : 0);
    tovane::RunOptions options;
    options.pieceSize = 16 + std::size_t{data[2]} * 2;
    const std::string content(reinterpret_cast<const char*>(data + 3), size - 3);

    tovane::SplitPlan plan;
    plan.sourcePath = dir.write("source.txt", content);
    plan.saveFolder = out;
    plan.baseName = "p";
    plan.byteLimit = limit;
    plan.mode = capped ? tovane::SplitMode::ByMaxSize : tovane::SplitMode::BySize;
    plan.perPartFigure = "0";
    const tovane::SplitOutcome outcome = tovane::executeSplit(plan, {}, nullptr, options);

    const std::vector<std::string> expected =
        capped ? tovane::test::referenceMaxSizeSplit(content, limit)
               : tovane::test::referenceSplit(content, limit);
    using Result = tovane::SplitOutcome::Result;
    if (outcome.result != (expected.empty() ? Result::Empty : Result::Done)) fail("result", 0);
    if (outcome.parts != expected.size()) fail("part count", outcome.parts);
    for (std::size_t n = 0; n < expected.size(); ++n) {
        const std::string path = out + "p_" + std::to_string(n + 1) + ".txt";
        if (tovane::test::readFile(path) != expected[n]) fail("part bytes", n + 1);
        std::remove(path.c_str());
    }
    if (!dir.list("out").empty()) fail("extra files", expected.size() + 1);
    return 0;
}
