// UTF-16 in either byte order: a 16-bit unit, or a high and a low surrogate
// for a character past the Basic Multilingual Plane. The size test counts
// units, as the strings of Windows programs do: a surrogate pair counts two.
#include "split/text/codec.h"
#include "split/text/utf8.h"

namespace tovane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHigh(char32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool isLow(char32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}
bool isSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit < 0xE000;
}

// The walk's `pending` bits.
constexpr unsigned kOddByte = 1;      // half a unit was fed, kept in `held`
constexpr unsigned kHighWaiting = 2;  // a high surrogate waits for its low one

class Utf16Codec final : public Codec {
public:
    explicit Utf16Codec(bool bigEndian)
        : Codec({bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le,
                 bigEndian ? "UTF-16BE" : "UTF-16LE", 2, bigEndian,
                 bigEndian ? std::string_view("\0\r\0\n", 4) : std::string_view("\r\0\n\0", 4),
                 bigEndian ? "\xFE\xFF" : "\xFF\xFE", 4}) {}

    // An odd last byte is a unit.
    void count(WalkState& state, std::string_view bytes) const override {
        const std::uint64_t before = (state.fed + 1) / 2;
        state.fed += bytes.size();
        state.characters += (state.fed + 1) / 2 - before;
    }
    std::uint64_t fewestCharacters(std::uint64_t bytes) const override { return (bytes + 1) / 2; }
    std::uint64_t mostCharacters(std::uint64_t bytes) const override { return (bytes + 1) / 2; }

    void walk(WalkState& s, std::string_view bytes) const override {
        for (char byte : bytes) {
            const auto c = static_cast<unsigned char>(byte);
            const std::uint64_t at = s.fed++;
            if ((s.pending & kOddByte) == 0) {
                s.pending |= kOddByte;
                s.held = c;
                ++s.characters;  // a unit, counted at its first byte
                continue;
            }
            s.pending &= ~kOddByte;
            const char32_t unit =
                bigEndian() ? char32_t{s.held} << 8 | c : char32_t{c} << 8 | s.held;
            if ((s.pending & kHighWaiting) != 0 && isLow(unit)) {
                s.pending &= ~kHighWaiting;
                s.mark(s.fed);
                continue;
            }
            s.mark(at - 1);  // the unit's start; a lone surrogate is a character of its own
            s.pending = isHigh(unit) ? kHighWaiting : 0;
            if (!isHigh(unit)) s.mark(s.fed);
        }
    }

    char32_t decode(std::string_view text, std::size_t& at) const override {
        if (at + 1 >= text.size()) {
            ++at;  // an odd last byte
            return kReplacement;
        }
        const char32_t unit = unitAt(text, at);
        at += 2;
        if (isHigh(unit) && at + 1 < text.size()) {
            const char32_t low = unitAt(text, at);
            if (isLow(low)) {
                at += 2;
                return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        return isSurrogate(unit) ? kReplacement : unit;
    }

    std::string encode(char32_t c) const override {
        std::string bytes;
        const auto put = [&](char32_t u) {
            const char high = static_cast<char>(u >> 8);
            const char low = static_cast<char>(u & 0xFF);
            bytes += bigEndian() ? high : low;
            bytes += bigEndian() ? low : high;
        };
        if (c < 0x10000) {
            put(c);
        } else {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        return bytes;
    }

    Character read(std::string_view bytes, std::size_t at) const override {
        using Kind = Character::Kind;
        const std::size_t left = bytes.size() - at;
        if (left < 2) return {Kind::Cut};
        const char32_t first = unitAt(bytes, at);
        if (isLow(first)) return {};
        if (!isHigh(first)) return {Kind::Whole, first, 2};
        if (left < 4) return {Kind::Cut};
        const char32_t second = unitAt(bytes, at + 2);
        if (!isLow(second)) return {};
        return {Kind::Whole, 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), 4};
    }

    // Units that are no surrogates.
    std::size_t toUtf8(std::string_view bytes, std::size_t& at, char* to) const override {
        std::size_t made = 0;
        while (at + 1 < bytes.size()) {
            const char32_t unit = unitAt(bytes, at);
            if (isSurrogate(unit)) break;
            made += to != nullptr ? utf8::put(unit, to + made) : utf8::lengthOf(unit);
            at += 2;
        }
        return made;
    }

private:
    char32_t unitAt(std::string_view bytes, std::size_t i) const {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian() ? char32_t{a} << 8 | b : char32_t{b} << 8 | a;
    }
};

}  // namespace

const Codec& utf16Codec(bool bigEndian) {
    static const Utf16Codec little(false);
    static const Utf16Codec big(true);
    return bigEndian ? big : little;
}

}  // namespace tovane
