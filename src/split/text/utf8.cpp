#include "split/text/utf8.h"

namespace tovane::utf8 {

std::size_t put(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | c >> 6);
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | c >> 12);
        out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | c >> 18);
    out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

bool isValid(std::string_view bytes, bool allowCutEnd) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(c);
        if (length == 0) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k >= n) return allowCutEnd;
            const unsigned char t = p[i + k];
            if (k == 1 ? (t < secondLow(c) || t > secondHigh(c)) : (t < 0x80 || t > 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace tovane::utf8
