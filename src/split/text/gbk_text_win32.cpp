#include <windows.h>

#include "split/text/gbk_text.h"
#include "split/text/text_encoding.h"

namespace tovane {

void readGbkTable(char16_t* table) {
    constexpr UINT kGbk = 936;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (!kGbkPairs.isTrail(static_cast<unsigned char>(trail))) continue;
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            wchar_t out[2] = {};
            if (::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, in, 2, out, 2) == 1) {
                table[(lead - 0x81) * kGbkTrails + (trail - 0x40)] = static_cast<char16_t>(out[0]);
            }
        }
    }
}

}  // namespace tovane
