#include "split/text/gbk_text.h"

#include <array>
#include <cstdint>

namespace tovane {

char32_t gbkPair(unsigned char lead, unsigned char trail) {
    static const std::array<char16_t, kGbkTableSize> table = [] {
        std::array<char16_t, kGbkTableSize> read{};
        read.fill(0xFFFD);
        readGbkTable(read.data());
        return read;
    }();
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0xFFFD;
    return table[static_cast<std::size_t>(lead - 0x81) * kGbkTrails + (trail - 0x40u)];
}

char32_t gb18030FourByte(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4) {
    const std::uint32_t pointer =
        (((b1 - 0x81u) * 10 + (b2 - 0x30u)) * 126 + (b3 - 0x81u)) * 10 + (b4 - 0x30u);
    // Past the Basic Multilingual Plane the characters run in order from 0x90308130.
    if (pointer >= 189000 && pointer <= 1237575) return 0x10000 + (pointer - 189000);
    return 0xFFFD;
}

}  // namespace tovane
