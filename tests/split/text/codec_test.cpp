#include "split/text/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tovane {
namespace {

TEST(CharacterCount, GbkPairsCountOnceAndStrayLeadsCountAlone) {
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\xC4\xE3\xBA\xC3"), 2u);  // 你好
    EXPECT_EQ(codecOf(Encoding::Gbk)
                  .countCharacters("a\xC4\xE3"
                                   "b"),
              3u);
    // A lead followed by a byte that can't trail: both count.
    EXPECT_EQ(codecOf(Encoding::Gbk)
                  .countCharacters("\xC4"
                                   "\x20"),
              2u);
    // 0x7F and 0xFF are no trail bytes; 0x40 and 0x80 are.
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\x81\x7F"), 2u);
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\x81\x40\x81\x80"), 2u);
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\xFE\xFF"), 2u);
    // Scanning left to right: the second lead is taken as a trail.
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\x81\x81\x81"), 2u);
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\xC4"), 1u);
}

TEST(CharacterCount, GbkPairSplitAcrossPiecesCountsOnce) {
    CharacterWalk counter(codecOf(Encoding::Gbk));
    counter.feed("ab\xC4");
    counter.feed(
        "\xE3"
        "c");
    EXPECT_EQ(counter.characters(), 4u);
}

// GB18030's lead, digit, lead, digit is one character, also fed a byte at a
// time; a trail that closes a pair never begins one.
TEST(CharacterCount, Gb18030FourByteCharactersCountOnce) {
    const std::string four = "\x81\x30\x81\x30";
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters(four), 1u);
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("a" + four + "\xC4\xE3" + four), 4u);
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\xB5\xDA\x31\x81\x30"), 4u);
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\x81\x30\x81\x40"), 3u);  // L D, pair
    EXPECT_EQ(codecOf(Encoding::Gbk).countCharacters("\x81\x30\x81"), 3u);
    CharacterWalk counter(codecOf(Encoding::Gbk));
    for (char c : four + four) counter.feed(std::string(1, c));
    EXPECT_EQ(counter.characters(), 2u);
    for (std::size_t limit = 0; limit <= 9; ++limit) {
        CharacterWalk boundaries(codecOf(Encoding::Gbk), limit);
        boundaries.feed("a" + four + four);
        EXPECT_EQ(boundaries.lastBoundary(), limit < 5   ? std::min<std::size_t>(limit, 1)
                                             : limit < 9 ? 5
                                                         : 9)
            << limit;
    }
}

// UTF-8 counts what a decoder puts out: a sequence one, and a stray byte or
// a sequence broken off one each, also fed a byte at a time.
TEST(CharacterCount, Utf8CountsSequencesAndEachStrayStretchAsOne) {
    const Codec& utf8 = codecOf(Encoding::Utf8);
    EXPECT_EQ(utf8.countCharacters("\xE4\xBD\xA0\xE5\xA5\xBD"
                                   "ab"),
              4u);
    EXPECT_EQ(utf8.countCharacters("\xF0\x9F\x98\x80"), 1u);
    EXPECT_EQ(utf8.countCharacters("\x80\x80"), 2u);
    EXPECT_EQ(utf8.countCharacters("\xE4\xBD"
                                   "a\xFF"),
              3u);
    EXPECT_EQ(utf8.countCharacters("\xF0\x80\x80"), 3u);
    const std::string mixed = "a\xE4\xBD\xA0\x80\xF0\x9F\x98x\xC3";
    CharacterWalk counter(utf8);
    for (char c : mixed) counter.feed(std::string(1, c));
    EXPECT_EQ(counter.characters(), 6u);
    EXPECT_EQ(utf8.countCharacters(mixed), 6u);
    CharacterWalk boundaries(utf8, mixed.size());
    boundaries.feed(mixed);
    EXPECT_EQ(boundaries.characters(), 6u);
}

TEST(CharacterCount, Utf16CountsCodeUnitsAndAnOddByteAsOne) {
    EXPECT_EQ(codecOf(Encoding::Utf16Le).countCharacters(std::string("a\0b\0", 4)), 2u);
    EXPECT_EQ(codecOf(Encoding::Utf16Be).countCharacters(std::string("\0a\0", 3)), 2u);
}

TEST(CharacterCount, BoundsHoldTheExactCount) {
    const std::string samples[] = {
        "", "abc", "\xC4\xE3\xBA\xC3", "\xC4\xE3z\x81", "\x81\x81\x81", "\x81\x30\x81\x30"};
    for (const std::string& line : samples) {
        const std::uint64_t count = codecOf(Encoding::Gbk).countCharacters(line);
        EXPECT_LE(codecOf(Encoding::Gbk).fewestCharacters(line.size()), count) << line;
        EXPECT_GE(codecOf(Encoding::Gbk).mostCharacters(line.size()), count) << line;
        const std::uint64_t utf8 = codecOf(Encoding::Utf8).countCharacters(line);
        EXPECT_LE(codecOf(Encoding::Utf8).fewestCharacters(line.size()), utf8);
        EXPECT_GE(codecOf(Encoding::Utf8).mostCharacters(line.size()), utf8);
    }
}

}  // namespace
}  // namespace tovane
