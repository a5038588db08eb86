// GBK's two-byte characters as Unicode, read once from the system's own
// converter (iconv, or Windows code page 936) into a table, so that a line
// is decoded without a call into the converter for each character.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovane {

// The character GBK writes as `lead` `trail`; U+FFFD when it has none there.
char32_t gbkPair(unsigned char lead, unsigned char trail);

// The two bytes GBK writes `c` in, lead byte high; 0 when it has no pair for it.
std::uint16_t gbkBytesOf(char32_t c);

// The character GB18030 writes in four bytes, from the standard's ranges;
// U+FFFD where it has none.
char32_t gb18030FourByte(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4);

// The table's shape: a row for each lead byte 0x81..0xFE, a column for each
// trail byte 0x40..0xFE.
inline constexpr std::size_t kGbkTrails = 0xFF - 0x40;
inline constexpr std::size_t kGbkTableSize = 126 * kGbkTrails;
// Fills in the characters the system's converter knows; the rest stay as they are.
void readGbkTable(char16_t* table);

}  // namespace tovane
