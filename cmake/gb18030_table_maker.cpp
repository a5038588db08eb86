// Writes GB18030's mapping as C++ tables, from the build machine's iconv, so
// that every build (Linux and Windows alike) converts with the same tables:
// the two-byte codes one by one, and the four-byte codes of the Basic
// Multilingual Plane as runs of consecutive characters. A code iconv refuses,
// or whose character iconv writes back as another code, is left out: it
// doesn't convert both ways. So are the characters past that plane that a
// two-byte code stands for: their four-byte codes don't convert back either.
//   gb18030_table_maker OUTPUT
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "iconv_codes.h"

namespace {

using table_maker::convert;
using table_maker::convertsBack;

using table_maker::kTrails;
constexpr std::uint32_t kBmpPointers = 39420;  // 81308130 .. 8431A439

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gb18030_table_maker OUTPUT\n");
        return 2;
    }
    const iconv_t converter = ::iconv_open("UTF-32LE", "GB18030");
    const iconv_t back = ::iconv_open("GB18030", "UTF-32LE");
    if (converter == reinterpret_cast<iconv_t>(-1) || back == reinterpret_cast<iconv_t>(-1)) {
        std::perror("iconv_open GB18030");
        return 1;
    }
    const std::vector<std::uint32_t> twoByte = table_maker::twoByteCharacters(converter, back);
    std::vector<std::uint32_t> fourByte(kBmpPointers, 0);
    for (std::uint32_t pointer = 0; pointer < kBmpPointers; ++pointer) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(0x81 + pointer / 12600),
                                        static_cast<unsigned char>(0x30 + pointer / 1260 % 10),
                                        static_cast<unsigned char>(0x81 + pointer / 10 % 126),
                                        static_cast<unsigned char>(0x30 + pointer % 10)};
        const std::uint32_t c = convert(converter, bytes, 4);
        fourByte[pointer] = c != 0 && c < 0x10000 && convertsBack(back, c, bytes, 4) ? c : 0;
    }
    ::iconv_close(converter);
    ::iconv_close(back);
    std::vector<std::uint32_t> pastThePlane;
    for (std::uint32_t c : twoByte) {
        if (c >= 0x10000) pastThePlane.push_back(c);
    }
    std::sort(pastThePlane.begin(), pastThePlane.end());

    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(
        out, "// GB18030 as the build machine's iconv maps it; written by gb18030_table_maker.\n");
    std::fprintf(out, "inline constexpr char32_t kGb18030TwoByte[%u] = {", 126 * kTrails);
    for (std::size_t i = 0; i < twoByte.size(); ++i) {
        std::fprintf(out, "%s0x%04X,", i % 10 == 0 ? "\n    " : " ",
                     static_cast<unsigned>(twoByte[i]));
    }
    std::fprintf(out, "\n};\n");
    std::fprintf(out, "inline constexpr Gb18030Run kGb18030FourByteRuns[] = {");
    std::size_t runs = 0;
    for (std::uint32_t pointer = 0; pointer < kBmpPointers;) {
        if (fourByte[pointer] == 0) {
            ++pointer;
            continue;
        }
        std::uint32_t end = pointer + 1;
        while (end < kBmpPointers && fourByte[end] == fourByte[end - 1] + 1) ++end;
        std::fprintf(out, "%s{%u, %u, 0x%04X},", runs++ % 4 == 0 ? "\n    " : " ", pointer,
                     end - pointer, static_cast<unsigned>(fourByte[pointer]));
        pointer = end;
    }
    std::fprintf(out, "\n};\n");
    // Never empty: a zero stands in for none.
    std::fprintf(out, "inline constexpr char32_t kGb18030PairsPastThePlane[] = {0,");
    for (std::uint32_t c : pastThePlane) std::fprintf(out, " 0x%05X,", static_cast<unsigned>(c));
    std::fprintf(out, "};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
