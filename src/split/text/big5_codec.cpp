// Big5, as Windows' code page 950 has it (traditional Chinese, the books of
// Taiwan and Hong Kong): a byte below 0x80 alone, or a lead byte
// (0x81..0xFE) and a trail byte (0x40..0x7E or 0x80..0xFE). Its characters
// part where GBK's do, but it has no four-byte form: a lead byte before any
// other byte is a character of its own, for counting and cutting; converting
// refuses it, and a code CP950 doesn't map.
#include <vector>

#include "split/text/codec.h"
#include "split/text/double_byte.h"
#include "split/text/utf8.h"

namespace tovane {

namespace {

#include "big5_tables.inc"

constexpr char32_t kReplacement = 0xFFFD;
using double_byte::isLead;
using double_byte::isTrail;
using double_byte::kTrails;

// The character of the code `lead` `trail`; 0 for none.
char32_t characterOf(unsigned char lead, unsigned char trail) {
    if (!isLead(lead) || !isTrail(trail)) return 0;
    return kBig5TwoByte[double_byte::placeOf(lead, trail)];
}

constexpr unsigned kAfterLead = 1;

// Every byte counts as it comes but a trail that closes a pair; boundaries
// are marked as if every byte that closes no pair were a character.
struct Big5Steps {
    template <bool kMark>
    static void over(Codec::WalkState& s, std::string_view bytes);
};

template <bool kMark>
void Big5Steps::over(Codec::WalkState& s, std::string_view bytes) {
    for (char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const std::uint64_t at = s.fed++;
        if (s.pending == kAfterLead && isTrail(c)) {
            s.pending = 0;
            if constexpr (kMark) s.mark(s.fed);
            continue;
        }
        ++s.characters;
        const bool lead = isLead(c);
        s.pending = lead ? kAfterLead : 0;
        if constexpr (kMark) {
            s.mark(at);
            if (!lead) s.mark(s.fed);
        }
    }
}

class Big5Codec final : public ByteCodec<Big5Steps> {
public:
    Big5Codec() : ByteCodec({Encoding::Big5, "Big5", 1, false, "\r\n", "", 2}) {}

    char32_t decode(std::string_view text, std::size_t& at) const override {
        const auto first = static_cast<unsigned char>(text[at]);
        if (isLead(first) && at + 1 < text.size() &&
            isTrail(static_cast<unsigned char>(text[at + 1]))) {
            const char32_t c = characterOf(first, static_cast<unsigned char>(text[at + 1]));
            at += 2;
            return c != 0 ? c : kReplacement;
        }
        ++at;
        return first < 0x80 ? first : kReplacement;
    }

    std::string encode(char32_t c) const override {
        if (c < 0x80) return std::string(1, static_cast<char>(c));
        // The table turned around, once.
        static const std::vector<std::uint16_t> codes = [] {
            std::vector<std::uint16_t> of(0x10000, 0);
            for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
                for (unsigned k = 0; k < kTrails; ++k) {
                    const char32_t mapped = kBig5TwoByte[(lead - 0x81) * kTrails + k];
                    const unsigned trail = double_byte::trailAt(k);
                    if (mapped != 0 && of[mapped] == 0) {
                        of[mapped] = static_cast<std::uint16_t>(lead << 8 | trail);
                    }
                }
            }
            return of;
        }();
        if (c >= 0x10000 || codes[c] == 0) return {};
        return {static_cast<char>(codes[c] >> 8), static_cast<char>(codes[c] & 0xFF)};
    }

    Character read(std::string_view bytes, std::size_t at) const override {
        using Kind = Character::Kind;
        const auto first = static_cast<unsigned char>(bytes[at]);
        if (first < 0x80) return {Kind::Whole, first, 1};
        if (!isLead(first)) return {};
        if (bytes.size() - at < 2) return {Kind::Cut};
        const char32_t c = characterOf(first, static_cast<unsigned char>(bytes[at + 1]));
        if (c == 0) return {};
        return {Kind::Whole, c, 2};
    }

    std::size_t toUtf8(std::string_view bytes, std::size_t& at, char* to) const override {
        std::size_t made = 0;
        while (at < bytes.size()) {
            const auto first = static_cast<unsigned char>(bytes[at]);
            char32_t c = first;
            std::size_t length = 1;
            if (first >= 0x80) {
                if (at + 1 >= bytes.size()) break;
                c = characterOf(first, static_cast<unsigned char>(bytes[at + 1]));
                if (c == 0) break;
                length = 2;
            }
            made += to != nullptr ? utf8::put(c, to + made) : utf8::lengthOf(c);
            at += length;
        }
        return made;
    }
};

}  // namespace

const Codec& big5Codec() {
    static const Big5Codec codec;
    return codec;
}

}  // namespace tovane
