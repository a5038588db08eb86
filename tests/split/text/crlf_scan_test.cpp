// The vector scans against the obvious unit-by-unit reading, at every
// position across several vector blocks, in bytes and in both UTF-16 orders.
#include "split/text/crlf_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace tovane {
namespace {

// Text of `count` units in the encoding, from one byte a unit: 'r' and 'n'
// stand for CR and LF, anything else is a unit of its own (in UTF-16 its
// other byte is 0x0D, so that CR bytes lie outside line ends too).
std::string units(Encoding encoding, const std::string& plan) {
    std::string text;
    for (char c : plan) {
        const char byte = c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        if (encoding == Encoding::Gbk) {
            text += byte;
        } else {
            const char other = byte == c ? '\x0D' : '\0';
            text +=
                encoding == Encoding::Utf16Le ? std::string{byte, other} : std::string{other, byte};
        }
    }
    return text;
}

class CrlfScanTest : public ::testing::TestWithParam<Encoding> {};

TEST_P(CrlfScanTest, FindsEveryKindOfBareTerminatorAtEveryPosition) {
    const Encoding encoding = GetParam();
    const CrlfScan scan(codecOf(encoding));
    const std::size_t unit = scan.unit();
    for (std::size_t at = 1; at + 1 < 200; ++at) {
        for (const char bare : {'r', 'n'}) {
            std::string plan(200, 'x');
            for (std::size_t i = 3; i + 1 < plan.size(); i += 7) plan.replace(i, 2, "rn");
            if (plan[at] != 'x' || plan[at - 1] == 'r' || plan[at + 1] == 'n') continue;
            plan[at] = bare;
            const std::string text = units(encoding, plan);
            EXPECT_EQ(scan.findBareTerminator(text.data(), text.size()), at * unit) << at << bare;
            EXPECT_EQ(scan.findTerminator(text.data(), 0, text.size()),
                      std::min<std::size_t>(at, 3) * unit);
        }
    }
}

TEST_P(CrlfScanTest, CrLfOnlyPassesAndTheEdgesAreNotJudged) {
    const CrlfScan scan(codecOf(GetParam()));
    std::string plan;
    for (int i = 0; i < 50; ++i) plan += "abcrn";
    // An LF first and a CR last may pair with units out of view.
    const std::string text = units(GetParam(), "n" + plan + "r");
    EXPECT_EQ(scan.findBareTerminator(text.data(), text.size()), text.size());
    EXPECT_EQ(scan.findLastLineFeed(text.data(), text.size() - scan.unit()),
              text.size() - 2 * scan.unit());
    EXPECT_EQ(scan.findTerminator(text.data(), scan.unit(), text.size()), 4 * scan.unit());
}

TEST_P(CrlfScanTest, CopiesLinesWithCrLfEndsWhileTheyFit) {
    const CrlfScan scan(codecOf(GetParam()));
    const std::size_t u = scan.unit();
    const std::string in = units(GetParam(), "abnrcdrnern" + std::string(40, 'f') + "nr");
    char out[256];
    // ab LF, (empty) CR, cd CR LF, e LF all fit 11 units' room; the long line doesn't.
    CrlfScan::Copied copied = scan.copyLinesAsCrLf(in.data(), in.size(), out, sizeof out, 11 * u);
    EXPECT_EQ(std::string(out, copied.produced), units(GetParam(), "abrnrncdrnern"));
    EXPECT_EQ(copied.consumed, 11 * u);
    // The CR at the end might be followed by an LF out of view.
    copied = scan.copyLinesAsCrLf(in.data() + 11 * u, in.size() - 11 * u, out, sizeof out, 1000);
    EXPECT_EQ(copied.consumed, 41 * u);
    // Nothing goes past the space given.
    copied = scan.copyLinesAsCrLf(in.data(), in.size(), out, 5 * u, 1000);
    EXPECT_EQ(copied.consumed, 3 * u);
}

INSTANTIATE_TEST_SUITE_P(Encodings, CrlfScanTest,
                         ::testing::Values(Encoding::Gbk, Encoding::Utf16Le, Encoding::Utf16Be));

}  // namespace
}  // namespace tovane
