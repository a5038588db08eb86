// Counts the characters of one line in the source's encoding, fed in pieces
// so that a line longer than the read buffer can be counted as it streams by.
#pragma once

#include <cstdint>
#include <string_view>

#include "split/text/text_encoding.h"

namespace tovane {

class CharCounter {
public:
    explicit CharCounter(TextEncoding encoding) : encoding_(encoding) {}

    void feed(std::string_view bytes);
    std::uint64_t count() const;

    // Counts a whole line at once.
    static std::uint64_t countLine(TextEncoding encoding, std::string_view line);

    // Cheap bounds on a line's character count from its byte length alone, so
    // that most size tests need no counting: the fewest and the most characters
    // `byteLength` bytes can hold.
    static std::uint64_t lowerBound(TextEncoding encoding, std::uint64_t byteLength);
    static std::uint64_t upperBound(TextEncoding encoding, std::uint64_t byteLength);

private:
    TextEncoding encoding_;
    std::uint64_t count_ = 0;
    std::uint64_t bytes_ = 0;
    bool pendingLead_ = false;  // GBK: the last byte opened a pair not yet closed
};

}  // namespace tovane
