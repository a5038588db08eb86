// Writes CP950 (Windows' Big5) as a C++ table, from the build machine's
// iconv, so that every build (Linux and Windows alike) reads and converts
// Big5 alike: the character of every two-byte code, lead 81..FE and trail
// 40..7E or 80..FE. A code iconv refuses, or whose character iconv writes
// back as another code, is left out: it doesn't convert both ways.
//   big5_table_maker OUTPUT
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "iconv_codes.h"

using table_maker::kTrails;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: big5_table_maker OUTPUT\n");
        return 2;
    }
    const iconv_t converter = ::iconv_open("UTF-32LE", "CP950");
    const iconv_t back = ::iconv_open("CP950", "UTF-32LE");
    if (converter == reinterpret_cast<iconv_t>(-1) || back == reinterpret_cast<iconv_t>(-1)) {
        std::perror("iconv_open CP950");
        return 1;
    }
    // Characters past the Basic Multilingual Plane don't fit the table's units.
    std::vector<std::uint32_t> twoByte = table_maker::twoByteCharacters(converter, back);
    std::size_t mapped = 0;
    for (std::uint32_t& c : twoByte) {
        if (c >= 0x10000) c = 0;
        mapped += c != 0;
    }
    ::iconv_close(converter);
    ::iconv_close(back);
    if (mapped < 13000) {  // CP950 maps some 13,500 codes: this iconv has no real one
        std::fprintf(stderr, "big5_table_maker: iconv's CP950 maps only %zu codes\n", mapped);
        return 1;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// CP950 as the build machine's iconv maps it; written by big5_table_maker.\n");
    std::fprintf(out, "inline constexpr char16_t kBig5TwoByte[%u] = {", 126 * kTrails);
    for (std::size_t i = 0; i < twoByte.size(); ++i) {
        std::fprintf(out, "%s0x%04X,", i % 10 == 0 ? "\n    " : " ",
                     static_cast<unsigned>(twoByte[i]));
    }
    std::fprintf(out, "\n};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
