// Counts the characters of one line in the source's encoding, fed in pieces
// so that a line longer than the read buffer can be counted as it streams by.
#pragma once

#include <cstdint>
#include <string_view>

#include "split/text/text_encoding.h"

namespace tovane {

class CharCounter {
public:
    explicit CharCounter(TextEncoding encoding) : facts_(&factsOf(encoding)) {}

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
    const EncodingFacts* facts_;
    std::uint64_t count_ = 0;
    std::uint64_t bytes_ = 0;
    unsigned doubleByte_ = 0;  // double-byte: where the bytes since a boundary stand (see .cpp)
};

// Walks a line's bytes from its start and knows the last place where it can
// be cut without splitting a character: never inside a double-byte pair, a
// UTF-8 sequence or a UTF-16 surrogate pair. Bytes that make no character
// are characters of their own, so that a cut is always found.
class CharacterBoundaries {
public:
    // A walk from a character boundary that looks for the last boundary at
    // most `limit` bytes on. Feed it a character's length past the limit, so
    // that a character ending at the limit is known to end there.
    CharacterBoundaries(TextEncoding encoding, std::uint64_t limit)
        : facts_(&factsOf(encoding)), limit_(limit) {}

    // The line's next bytes.
    void feed(std::string_view bytes);
    // Bytes from where the walk began to the last boundary within the limit
    // known from what was fed.
    std::uint64_t lastBoundary() const { return last_; }

private:
    void mark(std::uint64_t boundary) {
        if (boundary <= limit_) last_ = boundary;
    }

    const EncodingFacts* facts_;
    std::uint64_t limit_;
    std::uint64_t fed_ = 0;
    std::uint64_t last_ = 0;
    unsigned expected_ = 0;    // UTF-8: continuation bytes still to come
    unsigned doubleByte_ = 0;  // double-byte: as in CharCounter
    std::uint64_t lastBeforeFourByte_ =
        0;                      // the last boundary before a possible four-byte character
    bool pendingHigh_ = false;  // UTF-16: a high surrogate waits for its low one
    bool oddByte_ = false;      // UTF-16: half a unit was fed
    unsigned char firstHalf_ = 0;
};

}  // namespace tovane
