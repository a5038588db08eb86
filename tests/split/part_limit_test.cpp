#include "split/part_limit.h"

#include <gtest/gtest.h>

namespace tovane {
namespace {

TEST(LimitFromSizeText, KilobytesTimes1024) {
    EXPECT_EQ(limitFromSizeText("100"), 102400u);
    EXPECT_EQ(limitFromSizeText("0"), 0u);
    EXPECT_EQ(limitFromSizeText("  7 "), 7168u);
    EXPECT_EQ(limitFromSizeText("2097151"), 2147482624u);
    EXPECT_EQ(limitFromSizeText("99999"), 102398976u);
    // Past what 32 bits could hold: still exact.
    EXPECT_EQ(limitFromSizeText("4194304"), 4294967296u);
}

TEST(LimitFromSizeText, FractionsRoundHalfToEven) {
    EXPECT_EQ(limitFromSizeText("1.5"), 1536u);
    EXPECT_EQ(limitFromSizeText(".5"), 512u);
    EXPECT_EQ(limitFromSizeText("5."), 5120u);
    // 0.0009765625 KB is exactly 1 byte; half of it rounds to even (0).
    EXPECT_EQ(limitFromSizeText("0.00048828125"), 0u);
    EXPECT_EQ(limitFromSizeText("0.00146484375"), 2u);  // 1.5 bytes -> 2
}

TEST(LimitFromSizeText, RefusesWhatIsNotANonNegativeNumber) {
    for (const char* text :
         {"", " ", "abc", "-1", "1e3", "1,5", "１２", ".", "1 2", "+-1", "0x10"}) {
        EXPECT_FALSE(limitFromSizeText(text).has_value()) << text;
    }
}

TEST(LimitFromSizeText, HugeNumbersMeanNoLimit) {
    EXPECT_EQ(limitFromSizeText("99999999999999999999999999"), kUnlimitedPart);
    EXPECT_EQ(limitFromSizeText("18014398509481984"), kUnlimitedPart);
}

TEST(LimitFromCountText, FileSizeOverCountHalvesToEven) {
    EXPECT_EQ(limitFromCountText("3", 1000), 333u);
    EXPECT_EQ(limitFromCountText("16", 1000), 62u);  // 62.5
    EXPECT_EQ(limitFromCountText("16", 1016), 64u);  // 63.5
    EXPECT_EQ(limitFromCountText("10", 0), 0u);
    EXPECT_EQ(limitFromCountText("2.5", 1000), 400u);
    // 5 GiB in 2 parts: sizes past 32 bits.
    EXPECT_EQ(limitFromCountText("2", 5ull << 30), 5ull << 29);
}

TEST(LimitFromCountText, RefusesZeroNegativeAndText) {
    for (const char* text : {"", "0", "0.0", "-3", "abc", "3x"}) {
        EXPECT_FALSE(limitFromCountText(text, 1000).has_value()) << text;
    }
}

TEST(LimitFromCountText, HugeCountsMeanEveryLineAlone) {
    EXPECT_EQ(limitFromCountText("999999999999999999999999", 1u << 30), 0u);
}

TEST(LimitInKilobytes, RoundsHalfToEven) {
    EXPECT_EQ(limitInKilobytes(102400), 100u);
    EXPECT_EQ(limitInKilobytes(512), 0u);
    EXPECT_EQ(limitInKilobytes(1536), 2u);
    EXPECT_EQ(limitInKilobytes(1535), 1u);
}

}  // namespace
}  // namespace tovane
