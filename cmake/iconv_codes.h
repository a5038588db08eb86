// What the table makers ask the build machine's iconv: the character of a
// code (as UTF-32), and whether that character is written back as the code.
// Included by each maker, built on its own at configure time.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace table_maker {

// The character `bytes` stand for, or 0 when iconv refuses them.
inline std::uint32_t convert(iconv_t converter, const unsigned char* bytes, std::size_t size) {
    char in[4] = {};
    for (std::size_t i = 0; i < size; ++i) in[i] = static_cast<char>(bytes[i]);
    unsigned char out[8] = {};
    char* inAt = in;
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t inLeft = size;
    std::size_t outLeft = sizeof out;
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0 || sizeof out - outLeft != 4) {
        return 0;
    }
    return std::uint32_t{out[0]} | std::uint32_t{out[1]} << 8 | std::uint32_t{out[2]} << 16 |
           std::uint32_t{out[3]} << 24;
}

// Whether iconv writes `c` back as the `size` bytes of `code`.
inline bool convertsBack(iconv_t back, std::uint32_t c, const unsigned char* code,
                         std::size_t size) {
    char in[4] = {static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16),
                  static_cast<char>(c >> 24)};
    unsigned char out[8] = {};
    char* inAt = in;
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t inLeft = 4;
    std::size_t outLeft = sizeof out;
    ::iconv(back, nullptr, nullptr, nullptr, nullptr);
    if (::iconv(back, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1)) {
        return false;
    }
    return sizeof out - outLeft == size && std::memcmp(out, code, size) == 0;
}

// Trails of a two-byte code: 40..7E and 80..FE.
constexpr unsigned kTrails = 190;

// The characters of the two-byte codes, lead 81..FE and then trail, 190 to
// a lead: each that iconv maps both ways, 0 for the others.
inline std::vector<std::uint32_t> twoByteCharacters(iconv_t converter, iconv_t back) {
    std::vector<std::uint32_t> characters(126 * kTrails, 0);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned k = 0; k < kTrails; ++k) {
            const unsigned trail = k < 0x3F ? 0x40 + k : 0x41 + k;  // 7F is no trail
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            const std::uint32_t c = convert(converter, bytes, 2);
            characters[(lead - 0x81) * kTrails + k] =
                c != 0 && convertsBack(back, c, bytes, 2) ? c : 0;
        }
    }
    return characters;
}

}  // namespace table_maker
