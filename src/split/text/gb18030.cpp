#include "split/text/gb18030.h"

#include <algorithm>
#include <vector>

#include "split/text/double_byte.h"
#include "split/text/utf8.h"

namespace tovane {

namespace {

#include "gb18030_tables.inc"

using double_byte::kTrails;
// The four-byte codes past the Basic Multilingual Plane run in order.
constexpr std::uint32_t kSupplementaryPointer = 189000;  // 90 30 81 30
constexpr std::uint32_t kLastPointer = 1237575;          // E3 32 9A 35

bool isDigitByte(unsigned char c) {
    return c >= 0x30 && c <= 0x39;
}

}  // namespace

char32_t gb18030Pair(unsigned char lead, unsigned char trail) {
    if (!double_byte::isLead(lead) || !double_byte::isTrail(trail)) return 0;
    return kGb18030TwoByte[double_byte::placeOf(lead, trail)];
}

char32_t gb18030FourByte(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4) {
    if (!double_byte::isLead(b1) || !isDigitByte(b2) || !double_byte::isLead(b3) || !isDigitByte(b4)) return 0;
    const std::uint32_t pointer =
        (((b1 - 0x81u) * 10 + (b2 - 0x30u)) * 126 + (b3 - 0x81u)) * 10 + (b4 - 0x30u);
    if (pointer >= kSupplementaryPointer) {
        if (pointer > kLastPointer) return 0;
        // A character a two-byte code stands for converts back to that code.
        const char32_t c = 0x10000 + (pointer - kSupplementaryPointer);
        return std::binary_search(std::begin(kGb18030PairsPastThePlane),
                                  std::end(kGb18030PairsPastThePlane), c)
                   ? 0
                   : c;
    }
    const auto* const end = std::end(kGb18030FourByteRuns);
    const auto* run =
        std::upper_bound(std::begin(kGb18030FourByteRuns), end, pointer,
                         [](std::uint32_t p, const Gb18030Run& r) { return p < r.pointer; });
    if (run == std::begin(kGb18030FourByteRuns)) return 0;
    --run;
    if (pointer >= run->pointer + run->count) return 0;
    return run->first + (pointer - run->pointer);
}

std::uint16_t gb18030PairOf(char32_t c) {
    // The two-byte table turned around, once.
    static const std::vector<std::uint16_t> pairs = [] {
        std::vector<std::uint16_t> of(0x10000, 0);
        for (std::size_t i = std::size(kGb18030TwoByte); i-- > 0;) {
            const unsigned trail = double_byte::trailAt(static_cast<unsigned>(i % kTrails));
            const char32_t paired = kGb18030TwoByte[i];
            if (paired < 0x10000) {
                of[paired] = static_cast<std::uint16_t>((0x81 + i / kTrails) << 8 | trail);
            }
        }
        of[0] = 0;
        return of;
    }();
    return c < 0x10000 ? pairs[c] : 0;
}

const std::uint32_t* gb18030CodesInUtf8() {
    static const std::vector<std::uint32_t> table = [] {
        std::vector<std::uint32_t> utf8(256 * 256, 0);
        for (unsigned first = 0; first < 0x80; ++first) {
            for (unsigned second = 0; second < 256; ++second)
                utf8[second << 8 | first] = 1u << 24 | first;
        }
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const char32_t c = gb18030Pair(static_cast<unsigned char>(lead),
                                               static_cast<unsigned char>(trail));
                std::uint32_t& entry = utf8[trail << 8 | lead];
                if (c == 0 || c >= 0x10000) continue;
                unsigned char bytes[4] = {};
                const auto length =
                    static_cast<std::uint32_t>(utf8::put(c, reinterpret_cast<char*>(bytes)));
                entry = length << 24 | std::uint32_t{bytes[2]} << 16 |
                        std::uint32_t{bytes[1]} << 8 | bytes[0];
            }
        }
        return utf8;
    }();
    return table.data();
}

}  // namespace tovane
