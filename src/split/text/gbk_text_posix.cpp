#include <iconv.h>

#include <cstdint>

#include "split/text/gbk_text.h"
#include "split/text/text_encoding.h"

namespace tovane {

void readGbkTable(char16_t* table) {
    const iconv_t converter = ::iconv_open("UTF-32LE", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
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
            if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) ==
                    static_cast<std::size_t>(-1) ||
                sizeof out - outLeft != 4) {
                continue;
            }
            const std::uint32_t c = std::uint32_t{out[0]} | std::uint32_t{out[1]} << 8 |
                                    std::uint32_t{out[2]} << 16 | std::uint32_t{out[3]} << 24;
            if (c < 0x10000)
                table[(lead - 0x81) * kGbkTrails + (trail - 0x40)] = static_cast<char16_t>(c);
        }
    }
    ::iconv_close(converter);
}

}  // namespace tovane
