#include <iconv.h>

#include <array>
#include <cstdint>

#include "split/text/gbk_text.h"
#include "split/text/text_encoding.h"

namespace tovane {

namespace {

constexpr std::size_t kTrails = 0xFF - 0x40;

std::array<char16_t, 126 * kTrails> readTable() {
    std::array<char16_t, 126 * kTrails> table{};
    table.fill(0xFFFD);
    const iconv_t converter = ::iconv_open("UTF-32LE", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1)) return table;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (!kGbkPairs.isTrail(static_cast<unsigned char>(trail))) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[8] = {};
            char* inAt = in;
            char* outAt = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2;
            std::size_t outLeft = sizeof out;
            ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
            if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) ||
                sizeof out - outLeft != 4) {
                continue;
            }
            const std::uint32_t c = out[0] | out[1] << 8 | out[2] << 16 | std::uint32_t{out[3]} << 24;
            if (c < 0x10000) table[(lead - 0x81) * kTrails + (trail - 0x40)] = static_cast<char16_t>(c);
        }
    }
    ::iconv_close(converter);
    return table;
}

}  // namespace

char32_t gbkPair(unsigned char lead, unsigned char trail) {
    static const std::array<char16_t, 126 * kTrails> table = readTable();
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0xFFFD;
    return table[static_cast<std::size_t>(lead - 0x81) * kTrails + (trail - 0x40u)];
}

}  // namespace tovane
