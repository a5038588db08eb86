#include "split/text/gbk_text.h"

#include <array>

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

}  // namespace tovane
