// UTF-8, the form every text of the engine's own is in and the one parts
// can be converted to: how long a character's sequence is, writing one, and
// whether bytes are well-formed.
#pragma once

#include <cstddef>
#include <string_view>

namespace tovane::utf8 {

// The bytes `c` takes.
inline std::size_t lengthOf(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// The bytes of the sequence that `first` begins; 0 for a byte that begins
// none (a continuation byte, an overlong C0 or C1, a byte past F4).
inline std::size_t sequenceLength(unsigned char first) {
    return first < 0x80                     ? 1
           : first >= 0xC2 && first <= 0xDF ? 2
           : first >= 0xE0 && first <= 0xEF ? 3
           : first >= 0xF0 && first <= 0xF4 ? 4
                                            : 0;
}

// The bounds of the second byte after `first`: they rule out overlong forms,
// surrogates and code points past U+10FFFF.
inline unsigned char secondLow(unsigned char first) {
    return first == 0xE0 ? 0xA0 : first == 0xF0 ? 0x90 : 0x80;
}
inline unsigned char secondHigh(unsigned char first) {
    return first == 0xED ? 0x9F : first == 0xF4 ? 0x8F : 0xBF;
}

// `c` written at `out` (room for 4 bytes); returns how many bytes.
std::size_t put(char32_t c, char* out);

// Whether `bytes` is well-formed; a sequence cut off by the end of `bytes`
// is accepted only when `allowCutEnd` is set.
bool isValid(std::string_view bytes, bool allowCutEnd);

}  // namespace tovane::utf8
