#include "split/text/gbk_text.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tovane {

namespace {

const std::array<char16_t, kGbkTableSize>& table() {
    static const std::array<char16_t, kGbkTableSize> read = [] {
        std::array<char16_t, kGbkTableSize> characters{};
        characters.fill(0xFFFD);
        readGbkTable(characters.data());
        return characters;
    }();
    return read;
}

}  // namespace

char32_t gbkPair(unsigned char lead, unsigned char trail) {
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0xFFFD;
    return table()[static_cast<std::size_t>(lead - 0x81) * kGbkTrails + (trail - 0x40u)];
}

std::uint16_t gbkBytesOf(char32_t c) {
    // The table turned around, once: the pair of each character, lead byte first.
    static const std::vector<std::uint16_t> pairs = [] {
        std::vector<std::uint16_t> of(0x10000, 0);
        const std::array<char16_t, kGbkTableSize>& characters = table();
        for (std::size_t i = characters.size(); i-- > 0;) {
            if (characters[i] == 0xFFFD) continue;
            of[characters[i]] =
                static_cast<std::uint16_t>((0x81 + i / kGbkTrails) << 8 | (0x40 + i % kGbkTrails));
        }
        return of;
    }();
    return c < 0x10000 ? pairs[c] : 0;
}

char32_t gb18030FourByte(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4) {
    const std::uint32_t pointer =
        (((b1 - 0x81u) * 10 + (b2 - 0x30u)) * 126 + (b3 - 0x81u)) * 10 + (b4 - 0x30u);
    // Past the Basic Multilingual Plane the characters run in order from 0x90308130.
    if (pointer >= 189000 && pointer <= 1237575) return 0x10000 + (pointer - 189000);
    return 0xFFFD;
}

}  // namespace tovane
