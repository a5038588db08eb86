// What the bytes of one encoding are: how characters are made of them (what
// the size test counts and where a long line may be cut), how a character
// reads as Unicode (the heading reader, the names of parts) and how it is
// written back or in UTF-8 (parts converted to UTF-8). One object for each
// encoding, in a file of its own; whether a file opens with a byte-order
// mark is the file's, not the encoding's (see source_format.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovane {

enum class Encoding : std::uint8_t { Gbk, Big5, Utf8, Utf16Le, Utf16Be };

class Codec {
public:
    // A character read strictly, as converting needs it: whole, bytes that
    // make no character, or a character that the end of the bytes cuts off.
    struct Character {
        enum class Kind : std::uint8_t { Whole, Invalid, Cut };
        Kind kind = Kind::Invalid;
        char32_t value = 0;
        std::size_t length = 0;  // its bytes, when whole
    };

    // Where a walk over a line's bytes stands between two pieces of them;
    // each codec keeps in it what it needs (see CharacterWalk).
    struct WalkState {
        unsigned pending = 0;            // the codec's own: what the last bytes began
        unsigned char held = 0;          // a byte kept for the next piece
        std::uint64_t beforeLead = 0;    // the last boundary before a character that may grow
        std::uint64_t fed = 0;           // bytes fed so far
        std::uint64_t characters = 0;    // characters counted so far
        std::uint64_t limit = 0;         // boundaries past this are not kept
        std::uint64_t lastBoundary = 0;  // the last one within it
        void mark(std::uint64_t boundary) {
            if (boundary <= limit) lastBoundary = boundary;
        }
    };

    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;
    virtual ~Codec() = default;

    Encoding encoding() const { return encoding_; }
    // As a user knows it: "GBK", "UTF-8", "UTF-16LE" …
    std::string_view name() const { return name_; }
    // Bytes of a code unit: lines end at CR and LF units.
    std::size_t unit() const { return unit_; }
    bool bigEndian() const { return bigEndian_; }
    // CR LF in the encoding: what every line is written with.
    std::string_view lineBreak() const { return lineBreak_; }
    // The mark a file in this encoding may open with; empty for none.
    std::string_view byteOrderMark() const { return byteOrderMark_; }
    // The most bytes one character takes.
    std::size_t longestCharacter() const { return longestCharacter_; }

    // The characters of a whole line, as the size test counts them: bytes
    // that make no character count one each.
    std::uint64_t countCharacters(std::string_view line) const {
        WalkState state;
        count(state, line);
        return state.characters;
    }
    // Goes on counting a line's characters, fed in pieces: what walk()
    // counts, without the boundaries.
    virtual void count(WalkState& state, std::string_view bytes) const = 0;
    // The fewest and the most characters so many bytes can hold, so that most
    // size tests need no counting.
    virtual std::uint64_t fewestCharacters(std::uint64_t bytes) const = 0;
    virtual std::uint64_t mostCharacters(std::uint64_t bytes) const = 0;
    // Goes on with a walk over a line's bytes: counts its characters and
    // marks the places it may be cut (never inside a character).
    virtual void walk(WalkState& state, std::string_view bytes) const = 0;

    // The character at `text[at]`, moving `at` past it; bytes that make no
    // character read as U+FFFD, one a time. For reading, never for writing.
    virtual char32_t decode(std::string_view text, std::size_t& at) const = 0;
    // `c` in the encoding; empty when the encoding has no such character.
    virtual std::string encode(char32_t c) const = 0;

    // The character at `bytes[at]`, strictly: one that converts to UTF-8
    // and back to the same bytes, or why there is none.
    virtual Character read(std::string_view bytes, std::size_t at) const = 0;
    // The characters from `bytes[at]` that convert without a question, as
    // many as follow one another, written as UTF-8 at `to` (when not null:
    // room for twice their bytes and 8 more); moves `at` past them and
    // returns the bytes they make. Stops where read() must decide.
    virtual std::size_t toUtf8(std::string_view bytes, std::size_t& at, char* to) const = 0;

    // A whole line decoded (see decode()).
    std::u32string decodeLine(std::string_view line) const;

protected:
    struct Traits {
        Encoding encoding;
        std::string_view name;
        std::size_t unit;
        bool bigEndian;
        std::string_view lineBreak;
        std::string_view byteOrderMark;
        std::size_t longestCharacter;
    };
    explicit Codec(const Traits& traits)
        : encoding_(traits.encoding),
          name_(traits.name),
          unit_(traits.unit),
          bigEndian_(traits.bigEndian),
          lineBreak_(traits.lineBreak),
          byteOrderMark_(traits.byteOrderMark),
          longestCharacter_(traits.longestCharacter) {}

private:
    Encoding encoding_;
    std::string_view name_;
    std::size_t unit_;
    bool bigEndian_;
    std::string_view lineBreak_;
    std::string_view byteOrderMark_;
    std::size_t longestCharacter_;
};

// A codec of single bytes and byte sequences (GBK, Big5, UTF-8): a byte that
// makes no character counts one, so so many bytes hold at most as many
// characters, and at least one for each longest character; counting and
// walking are one stepper, `Steps::over<true>` marking the boundaries too.
template <class Steps>
class ByteCodec : public Codec {
public:
    void count(WalkState& state, std::string_view bytes) const final {
        Steps::template over<false>(state, bytes);
    }
    void walk(WalkState& state, std::string_view bytes) const final {
        Steps::template over<true>(state, bytes);
    }
    std::uint64_t fewestCharacters(std::uint64_t bytes) const final {
        return (bytes + longestCharacter() - 1) / longestCharacter();
    }
    std::uint64_t mostCharacters(std::uint64_t bytes) const final { return bytes; }

protected:
    using Codec::Codec;
};

// The codec of each encoding.
const Codec& codecOf(Encoding encoding);
const Codec& gbkCodec();
const Codec& big5Codec();
const Codec& utf8Codec();
const Codec& utf16Codec(bool bigEndian);

// A walk over one line's bytes, fed in pieces (a line longer than the read
// buffer streams by): how many characters it holds, and the last place
// within `limit` bytes of its start where it may be cut. Bytes that make no
// character are characters of their own, so that a cut is always found.
class CharacterWalk {
public:
    // A walk that only counts, or one that also keeps the last boundary
    // within `limit` bytes.
    explicit CharacterWalk(const Codec& codec) : codec_(&codec), counting_(true) {}
    CharacterWalk(const Codec& codec, std::uint64_t limit) : codec_(&codec), counting_(false) {
        state_.limit = limit;
    }
    void feed(std::string_view bytes) {
        if (counting_) {
            codec_->count(state_, bytes);
        } else {
            codec_->walk(state_, bytes);
        }
    }
    std::uint64_t characters() const { return state_.characters; }
    // Bytes from the start to the last boundary within the limit known from
    // what was fed: feed a character's length past the limit, so that a
    // character ending at the limit is known to end there.
    std::uint64_t lastBoundary() const { return state_.lastBoundary; }

private:
    const Codec* codec_;
    bool counting_;
    Codec::WalkState state_;
};

}  // namespace tovane
