#include "split/text/chapter_heading.h"

#include "split/text/char_counter.h"
#include "split/text/gbk_text.h"

namespace tovane {

namespace {

constexpr std::u32string_view kChineseNumerals =
    U"零〇一二两三四五六七八九十百千万壹贰叁肆伍陆柒捌玖拾佰仟";
constexpr std::u32string_view kChapterWords = U"章回节卷集部篇";
constexpr std::u32string_view kNamedParts[] = {U"序章", U"序言", U"楔子", U"引子",
                                               U"尾声", U"后记", U"番外"};
constexpr std::u32string_view kChapterInEnglish[] = {U"Chapter", U"CHAPTER"};

// The characters a heading can start with past its blanks, from the words above.
std::u32string headingStarts() {
    std::u32string starts = U"第";
    for (std::u32string_view name : kNamedParts) {
        if (starts.find(name[0]) == std::u32string::npos) starts += name[0];
    }
    for (std::u32string_view word : kChapterInEnglish) {
        if (starts.find(word[0]) == std::u32string::npos) starts += word[0];
    }
    return starts;
}

const std::u32string& starts() {
    static const std::u32string value = headingStarts();
    return value;
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\x3000';
}
bool isNumeral(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'\xFF10' && c <= U'\xFF19') ||
           kChineseNumerals.find(c) != std::u32string_view::npos;
}
bool isAsciiDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool isRomanDigit(char32_t c) {
    return std::u32string_view(U"IVXLCDMivxlcdm").find(c) != std::u32string_view::npos;
}
bool isAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// The rule on the line's characters, blanks in front included.
bool isHeadingText(std::u32string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    text.remove_prefix(i);
    if (text.empty()) return false;
    if (text[0] == U'第') {
        std::size_t j = 1;
        while (j < text.size() && isNumeral(text[j])) ++j;
        return j > 1 && j < text.size() && kChapterWords.find(text[j]) != std::u32string_view::npos;
    }
    for (std::u32string_view name : kNamedParts) {
        if (text.substr(0, 2) != name) continue;
        if (text.size() == 2) return true;
        const char32_t next = text[2];
        return isBlank(next) || next == U':' || next == U'：' || isNumeral(next);
    }
    for (std::u32string_view word : kChapterInEnglish) {
        if (text.substr(0, word.size()) != word) continue;
        std::size_t j = word.size();
        if (j >= text.size() || !isBlank(text[j])) return false;
        while (j < text.size() && isBlank(text[j])) ++j;
        const std::size_t number = j;
        const bool digits = j < text.size() && isAsciiDigit(text[j]);
        while (j < text.size() && (digits ? isAsciiDigit(text[j]) : isRomanDigit(text[j]))) ++j;
        return j > number &&
               (j == text.size() || !(isAsciiLetter(text[j]) || isAsciiDigit(text[j])));
    }
    return false;
}

}  // namespace

ChapterHeading::ChapterHeading(TextEncoding encoding, std::shared_ptr<const HeadingPattern> pattern)
    : encoding_(encoding), facts_(&factsOf(encoding)), pattern_(std::move(pattern)) {
    if (facts_->unit != 1) return;
    for (char32_t c : starts()) {
        const std::string bytes = encodeCharacter(c, encoding);
        if (!bytes.empty()) firstBytes_[static_cast<unsigned char>(bytes[0])] = true;
    }
    ideographicSpace_ = encodeCharacter(U'\x3000', encoding);
}

ChapterHeading::ChapterHeading(TextEncoding encoding, const std::string& pattern)
    : ChapterHeading(encoding, [&] {
          std::string problem;
          return HeadingPattern::compile(pattern, problem);
      }()) {}

std::string ChapterHeading::problemWith(const std::string& pattern) {
    std::string problem;
    HeadingPattern::compile(pattern, problem);
    return problem;
}

bool ChapterHeading::matches(std::string_view line) const {
    if (line.size() > kMaxBytes) return false;
    if (pattern_) {
        // Lines that may be headings are short: decoded here, not on the heap.
        std::array<char32_t, kMaxBytes> text;
        std::size_t count = 0;
        for (std::size_t at = 0; at < line.size();) text[count++] = facts_->decode(line, at);
        return pattern_->foundIn({text.data(), count});
    }
    return matchesBuiltIn(line);
}

bool ChapterHeading::mayStartHeading(std::string_view line) const {
    std::size_t i = 0;
    if (facts_->unit == 2) {
        while (i + 1 < line.size()) {
            const char32_t c = facts_->decode(line, i);
            if (!isBlank(c)) return starts().find(c) != std::u32string::npos;
        }
        return false;
    }
    while (i < line.size()) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (b == ' ' || b == '\t') {
            ++i;
        } else if (!ideographicSpace_.empty() && line.substr(i, ideographicSpace_.size()) == ideographicSpace_) {
            i += ideographicSpace_.size();
        } else {
            return firstBytes_[b];
        }
    }
    return false;
}

bool ChapterHeading::matchesBuiltIn(std::string_view line) const {
    if (!mayStartHeading(line)) return false;
    std::array<char32_t, kMaxCharacters + 1> text{};
    std::size_t count = 0;
    std::size_t at = 0;
    bool leading = true;  // only blanks so far
    while (at < line.size() && count < text.size()) {
        const char32_t c = facts_->decode(line, at);
        text[count++] = c;
        if (leading && !isBlank(c)) {
            if (starts().find(c) == std::u32string::npos) return false;
            leading = false;
        }
    }
    if (at < line.size()) return false;  // more characters than a heading has
    if (count > kMaxCharacters || CharCounter::countLine(encoding_, line) > kMaxCharacters) {
        return false;
    }
    return isHeadingText({text.data(), count});
}

std::u32string decodeLine(std::string_view line, TextEncoding encoding) {
    const EncodingFacts& facts = factsOf(encoding);
    std::u32string text;
    for (std::size_t at = 0; at < line.size();) text += facts.decode(line, at);
    return text;
}

std::string encodeCharacter(char32_t c, TextEncoding encoding) {
    const EncodingFacts& facts = factsOf(encoding);
    std::string bytes;
    switch (facts.form) {
        case CharacterForm::DoubleByte:
            if (c < 0x80) return std::string(1, static_cast<char>(c));
            for (unsigned lead = facts.pairs.leadFirst; lead <= facts.pairs.leadLast; ++lead) {
                for (unsigned trail = facts.pairs.trailFirst; trail <= facts.pairs.trailLast; ++trail) {
                    if (facts.pairs.isTrail(static_cast<unsigned char>(trail)) &&
                        gbkPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) == c) {
                        return {static_cast<char>(lead), static_cast<char>(trail)};
                    }
                }
            }
            return {};
        case CharacterForm::Utf8:
            if (c < 0x80) return std::string(1, static_cast<char>(c));
            if (c < 0x800) return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
            if (c < 0x10000) {
                return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                        static_cast<char>(0x80 | (c & 0x3F))};
            }
            return {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        case CharacterForm::Utf16: {
            auto unit = [&](char32_t u) {
                const char high = static_cast<char>(u >> 8);
                const char low = static_cast<char>(u & 0xFF);
                bytes += facts.bigEndian ? high : low;
                bytes += facts.bigEndian ? low : high;
            };
            if (c < 0x10000) {
                unit(c);
            } else {
                unit(0xD800 + ((c - 0x10000) >> 10));
                unit(0xDC00 + ((c - 0x10000) & 0x3FF));
            }
            return bytes;
        }
    }
    return bytes;
}

}  // namespace tovane
