// GB18030, the national standard that GBK files are a part of: the
// characters its one-, two- and four-byte codes stand for. The mapping is
// compiled in from tables the build machine's iconv made (see
// cmake/gb18030_table_maker.cpp), so every build reads the same characters.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovane {

// A run of four-byte codes of the Basic Multilingual Plane whose characters
// follow one another: `count` codes from `pointer` (codes counted from
// 81 30 81 30), the first standing for `first`.
struct Gb18030Run {
    std::uint32_t pointer;
    std::uint32_t count;
    char16_t first;
};

// The character of the two-byte code `lead` `trail`; 0 when it stands for none.
char32_t gb18030Pair(unsigned char lead, unsigned char trail);
// The character of a four-byte code; 0 when it stands for none.
char32_t gb18030FourByte(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4);
// The two bytes (lead high) of a character of the Basic Multilingual Plane
// with a two-byte code; 0 for none.
std::uint16_t gb18030PairOf(char32_t c);

// The UTF-8 of the character that two bytes begin with, for converting at
// speed: indexed by the two bytes as a little-endian word (first +
// second * 256, one load on the machines this runs on), the bytes in the low three bytes
// (the first lowest) and their count in the top one. An ASCII first byte
// stands alone whatever follows it; 0 for a two-byte code that stands for no
// character or for one past the Basic Multilingual Plane, and for a first
// byte that begins no two-byte code.
const std::uint32_t* gb18030CodesInUtf8();

}  // namespace tovane
