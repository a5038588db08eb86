// Text of a source's encoding written as UTF-8, through its codec: every
// byte must make a character, and every character converts back to the same
// bytes; a byte that doesn't (0x80 or 0xFF in GB18030, a broken pair, a lone
// surrogate, a byte of no UTF-8 sequence) is unconvertible, never guessed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "split/text/codec.h"

namespace tovane {

class Utf8Conversion {
public:
    explicit Utf8Conversion(const Codec& from) : from_(&from) {}

    // Converts the next bytes of the text into `out` (which needs room for
    // twice as many bytes and 8 more), holding back a character they cut off
    // until the next call; a null `out` only measures them. Returns the bytes
    // written, or -1 at bytes that convert to nothing, with badAt() saying
    // where they begin, counted from the first byte of the first call.
    std::int64_t convert(std::string_view bytes, char* out);
    // Bytes of a character cut off at the end of what was given.
    std::size_t heldBack() const { return heldLength_; }
    std::uint64_t badAt() const { return badAt_; }

    // The UTF-8 bytes of a whole line, or -1 when it holds bytes that
    // convert to nothing (at `badAt`).
    static std::int64_t lengthOf(const Codec& from, std::string_view line, std::size_t& badAt);

    // The character that `bytes` begin with: the UTF-8 bytes it takes, and
    // its own bytes in `length`; -1 when they begin with none whole.
    static int characterAt(const Codec& from, std::string_view bytes, std::size_t& length);

    // The most UTF-8 bytes one source byte can give.
    static constexpr std::size_t kGrowth = 2;

private:
    std::int64_t convertWhole(std::string_view bytes, char* out, std::size_t& used, bool atEnd);

    const Codec* from_;
    char held_[4] = {};
    std::size_t heldLength_ = 0;
    std::uint64_t badAt_ = 0;
    std::uint64_t given_ = 0;  // bytes of the calls before this one
};

}  // namespace tovane
