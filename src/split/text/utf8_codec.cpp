// UTF-8: a byte below 0x80 alone, or a lead byte and one to three
// continuation bytes. The size test counts characters as a decoder puts them
// out: a sequence as one, and each stretch of bytes that makes none (a
// maximal subpart: a stray byte, a sequence broken off) as one too. Cutting
// and converting go by whole sequences.
#include <cstring>

#include "split/text/codec.h"
#include "split/text/utf8.h"

namespace tovane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// A walk's `pending`: the continuation bytes still to come of the sequence
// begun last, whose lead is `held`; the bit below says the next is its second
// byte, which the lead narrows.
constexpr unsigned kSecondNext = 8;

// A sequence is counted at its lead; its continuation bytes, as long as
// they fit, end it, and a byte that doesn't fit begins what comes next.
// `kMark`: the places between characters are wanted too.
struct Utf8Steps {
    template <bool kMark>
    static void over(Codec::WalkState& s, std::string_view bytes);
};

template <bool kMark>
void Utf8Steps::over(Codec::WalkState& s, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (s.pending == 0 && c < 0x80) {
            if constexpr (!kMark) {
                // A run of ASCII goes by in a loop of its own.
                std::size_t run = 1;
                while (i + run < bytes.size() && static_cast<unsigned char>(bytes[i + run]) < 0x80)
                    ++run;
                s.characters += run;
                s.fed += run;
                i += run - 1;
                continue;
            }
        }
        const std::uint64_t at = s.fed++;
        if (s.pending != 0) {
            const unsigned left = s.pending & 7;
            const bool fits = (s.pending & kSecondNext) != 0
                                  ? c >= utf8::secondLow(s.held) && c <= utf8::secondHigh(s.held)
                                  : isContinuation(c);
            if (fits) {
                s.pending = left - 1;
                if constexpr (kMark) {
                    if (s.pending == 0) s.mark(s.fed);
                }
                continue;
            }
            s.pending = 0;  // broken off: what was read of it is one character
        }
        ++s.characters;
        if constexpr (kMark) s.mark(at);
        const std::size_t length = utf8::sequenceLength(c);
        if (length > 1) {
            s.pending = static_cast<unsigned>(length - 1) | kSecondNext;
            s.held = c;
        } else if constexpr (kMark) {
            s.mark(s.fed);
        }
    }
}

class Utf8Codec final : public ByteCodec<Utf8Steps> {
public:
    Utf8Codec() : ByteCodec({Encoding::Utf8, "UTF-8", 1, false, "\r\n", "\xEF\xBB\xBF", 4}) {}

    char32_t decode(std::string_view text, std::size_t& at) const override {
        const auto first = static_cast<unsigned char>(text[at]);
        if (first < 0x80) {
            ++at;
            return first;
        }
        const std::size_t length = utf8::sequenceLength(first);
        if (length == 0 || !utf8::isValid(text.substr(at, length), false)) {
            ++at;  // a stray or broken byte: one replacement each
            return kReplacement;
        }
        char32_t value = first & (0x7Fu >> length);
        for (std::size_t i = 1; i < length; ++i) {
            value = value << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
        }
        at += length;
        return value;
    }

    std::string encode(char32_t c) const override {
        char bytes[4];
        return std::string(bytes, utf8::put(c, bytes));
    }

    Character read(std::string_view bytes, std::size_t at) const override {
        using Kind = Character::Kind;
        const auto first = static_cast<unsigned char>(bytes[at]);
        if (first < 0x80) return {Kind::Whole, first, 1};
        const std::size_t length = utf8::sequenceLength(first);
        if (length == 0 || !utf8::isValid(bytes.substr(at, length), true)) return {};
        if (bytes.size() - at < length) return {Kind::Cut};
        char32_t c = first & (0x7Fu >> length);
        for (std::size_t i = 1; i < length; ++i) {
            c = c << 6 | (static_cast<unsigned char>(bytes[at + i]) & 0x3Fu);
        }
        return {Kind::Whole, c, length};
    }

    // Whole, valid sequences go over as they are.
    std::size_t toUtf8(std::string_view bytes, std::size_t& at, char* to) const override {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t size = bytes.size();
        const std::size_t start = at;
        while (at < size) {
            const unsigned char first = p[at];
            if (first < 0x80) {
                ++at;
                continue;
            }
            const std::size_t length = utf8::sequenceLength(first);
            if (length == 0 || at + length > size) break;
            const unsigned char second = p[at + 1];
            bool whole = second >= utf8::secondLow(first) && second <= utf8::secondHigh(first);
            for (std::size_t i = 2; i < length; ++i) whole = whole && isContinuation(p[at + i]);
            if (!whole) break;
            at += length;
        }
        if (to != nullptr) std::memcpy(to, p + start, at - start);
        return at - start;
    }
};

}  // namespace

const Codec& utf8Codec() {
    static const Utf8Codec codec;
    return codec;
}

}  // namespace tovane
