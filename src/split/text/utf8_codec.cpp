// UTF-8: a byte below 0x80 alone, or a lead byte and one to three
// continuation bytes. The size test counts every byte that is no
// continuation byte; cutting and converting go by whole sequences.
#include <cstring>

#include "split/text/codec.h"
#include "split/text/utf8.h"

namespace tovane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

class Utf8Codec final : public Codec {
public:
    Utf8Codec() : Codec({Encoding::Utf8, "UTF-8", 1, false, "\r\n", "\xEF\xBB\xBF", 4}) {}

    void count(WalkState& state, std::string_view bytes) const override {
        std::uint64_t continuation = 0;
        for (char c : bytes) continuation += isContinuation(static_cast<unsigned char>(c));
        state.characters += bytes.size() - continuation;
        state.fed += bytes.size();
    }
    // Only the start of the file was looked at to tell UTF-8; further on, a
    // run of stray continuation bytes counts as nothing.
    std::uint64_t fewestCharacters(std::uint64_t) const override { return 0; }
    std::uint64_t mostCharacters(std::uint64_t bytes) const override { return bytes; }

    // `pending`: the continuation bytes still to come.
    void walk(WalkState& s, std::string_view bytes) const override {
        for (char byte : bytes) {
            const auto c = static_cast<unsigned char>(byte);
            const std::uint64_t at = s.fed++;
            if (!isContinuation(c)) ++s.characters;
            if (s.pending > 0 && isContinuation(c)) {
                if (--s.pending == 0) s.mark(s.fed);
                continue;
            }
            // A new character, or one that breaks off the sequence before it.
            s.mark(at);
            s.pending = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC0 ? 1 : 0;
            if (s.pending == 0) s.mark(s.fed);
        }
    }

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
