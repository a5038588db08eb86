#include "crlf_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace tovane {
namespace {

TEST(FindLoneCarriageReturn, FindsTheFirstCrWithoutLfAtEveryPosition) {
    // Every position across several vector blocks, so the block edges are met.
    for (std::size_t at = 0; at < 200; ++at) {
        std::string text(220, 'x');
        for (std::size_t i = 3; i + 1 < text.size(); i += 7) {
            text[i] = '\r';
            text[i + 1] = '\n';
        }
        if (text[at] == '\n' || (at > 0 && text[at - 1] == '\r')) continue;
        text[at] = '\r';
        text[at + 1] = 'y';
        EXPECT_EQ(findLoneCarriageReturn(text.data(), text.size()), at) << at;
    }
}

TEST(FindLoneCarriageReturn, CrLfOnlyAndTheLastByteAreNotLone) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "abc\r\n";
    EXPECT_EQ(findLoneCarriageReturn(text.data(), text.size()), text.size());
    text += '\r';  // the last byte is not looked at
    EXPECT_EQ(findLoneCarriageReturn(text.data(), text.size()), text.size());
    EXPECT_EQ(findLoneCarriageReturn(text.data(), 0), 0u);
}

}  // namespace
}  // namespace tovane
