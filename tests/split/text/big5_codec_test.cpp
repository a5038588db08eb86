// Big5 (CP950): characters part as GBK's do, but with no four-byte form;
// every code converts as iconv's CP950 has it, and one it doesn't map is
// refused.
#include <gtest/gtest.h>

#include <string>

#include "split/text/codec.h"
#include "split/text/utf8_conversion.h"
#include "support/encode.h"

namespace tovane {
namespace {

TEST(Big5Codec, PairsCountOnceAndLeadsAloneCountAlone) {
    const Codec& big5 = big5Codec();
    const std::string wind = test::encode("風起", Encoding::Big5);
    EXPECT_EQ(big5.countCharacters(wind), 2u);
    EXPECT_EQ(big5.countCharacters("a" + wind + "\xA4"), 4u);  // a lead at the end
    // GB18030's four bytes are four characters here: digits close no pair.
    EXPECT_EQ(big5.countCharacters("\x81\x30\x81\x30"), 4u);
    for (std::uint64_t limit = 0; limit <= 5; ++limit) {
        CharacterWalk boundaries(big5, limit);
        boundaries.feed("a" + wind);
        EXPECT_EQ(boundaries.lastBoundary(), limit < 3   ? std::min<std::uint64_t>(limit, 1)
                                             : limit < 5 ? 3
                                                         : 5)
            << limit;
    }
}

TEST(Big5Codec, ReadsAndWritesTraditionalCharacters) {
    const Codec& big5 = big5Codec();
    const std::string text = "第壹章 風起雲湧，後記與附錄。";
    const std::string bytes = test::encode(text, Encoding::Big5);
    std::string back;
    for (char32_t c : big5.decodeLine(bytes)) back += utf8Codec().encode(c);
    EXPECT_EQ(back, text);
    EXPECT_EQ(big5.encode(U'風'), test::encode("風", Encoding::Big5));
    EXPECT_TRUE(big5.encode(U'风').empty());  // a simplified one Big5 hasn't
}

#ifndef _WIN32
// Every code CP950 maps both ways converts to UTF-8 as iconv converts it;
// one whose character iconv writes back as another code is refused.
TEST(Big5Codec, ConvertsEveryCodeAsIconvDoes) {
    std::string all;
    std::string oneWay;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const auto utf8 = test::iconvFromTo("CP950", "UTF-8", code);
            if (!utf8) continue;
            (test::iconvFromTo("UTF-8", "CP950", *utf8) == code ? all : oneWay) += code;
        }
    }
    ASSERT_GT(all.size(), 2 * 13000u);
    std::string out(all.size() * Utf8Conversion::kGrowth + 8, '\0');
    Utf8Conversion conversion(big5Codec());
    const std::int64_t made = conversion.convert(all, out.data());
    ASSERT_GE(made, 0) << conversion.badAt();
    out.resize(static_cast<std::size_t>(made));
    EXPECT_EQ(out, test::iconvFromTo("CP950", "UTF-8", all));
    // A lead before a byte that closes no pair, and a code CP950 leaves out.
    std::size_t badAt = 0;
    EXPECT_LT(Utf8Conversion::lengthOf(big5Codec(), "ab\xA4 c", badAt), 0);
    EXPECT_EQ(badAt, 2u);
    EXPECT_LT(Utf8Conversion::lengthOf(big5Codec(), "\xA3\xFE", badAt), 0);
    if (!oneWay.empty()) {
        EXPECT_LT(Utf8Conversion::lengthOf(big5Codec(), oneWay.substr(0, 2), badAt), 0);
    }
}
#endif

}  // namespace
}  // namespace tovane
