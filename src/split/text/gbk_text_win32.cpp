#include <windows.h>

#include <array>

#include "split/text/gbk_text.h"
#include "split/text/text_encoding.h"

namespace tovane {

namespace {

constexpr std::size_t kTrails = 0xFF - 0x40;

std::array<char16_t, 126 * kTrails> readTable() {
    constexpr UINT kGbk = 936;
    std::array<char16_t, 126 * kTrails> table{};
    table.fill(0xFFFD);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (!kGbkPairs.isTrail(static_cast<unsigned char>(trail))) continue;
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            wchar_t out[2] = {};
            if (::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, in, 2, out, 2) == 1) {
                table[(lead - 0x81) * kTrails + (trail - 0x40)] = static_cast<char16_t>(out[0]);
            }
        }
    }
    return table;
}

}  // namespace

char32_t gbkPair(unsigned char lead, unsigned char trail) {
    static const std::array<char16_t, 126 * kTrails> table = readTable();
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0xFFFD;
    return table[static_cast<std::size_t>(lead - 0x81) * kTrails + (trail - 0x40u)];
}

}  // namespace tovane
