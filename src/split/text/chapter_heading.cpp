#include "split/text/chapter_heading.h"

#include <array>
#include <cstdint>

#include "split/text/char_counter.h"
#include "split/text/gbk_text.h"

namespace tovane {

namespace {

// The characters the built-in rule looks for, with their GBK codes: a GBK
// character outside this table can't be part of a heading the rule knows.
struct GbkCharacter {
    char32_t codePoint;
    std::uint16_t gbk;
};
constexpr GbkCharacter kGbkTable[] = {
    {0x7B2C, 0xB5DA} /* 第 */, {0x7AE0, 0xD5C2} /* 章 */,     {0x56DE, 0xBBD8} /* 回 */,
    {0x8282, 0xBDDA} /* 节 */, {0x5377, 0xBEED} /* 卷 */,     {0x96C6, 0xBCAF} /* 集 */,
    {0x90E8, 0xB2BF} /* 部 */, {0x7BC7, 0xC6AA} /* 篇 */,     {0x96F6, 0xC1E3} /* 零 */,
    {0x3007, 0xA996} /* 〇 */, {0x4E00, 0xD2BB} /* 一 */,     {0x4E8C, 0xB6FE} /* 二 */,
    {0x4E24, 0xC1BD} /* 两 */, {0x4E09, 0xC8FD} /* 三 */,     {0x56DB, 0xCBC4} /* 四 */,
    {0x4E94, 0xCEE5} /* 五 */, {0x516D, 0xC1F9} /* 六 */,     {0x4E03, 0xC6DF} /* 七 */,
    {0x516B, 0xB0CB} /* 八 */, {0x4E5D, 0xBEC5} /* 九 */,     {0x5341, 0xCAAE} /* 十 */,
    {0x767E, 0xB0D9} /* 百 */, {0x5343, 0xC7A7} /* 千 */,     {0x4E07, 0xCDF2} /* 万 */,
    {0x58F9, 0xD2BC} /* 壹 */, {0x8D30, 0xB7A1} /* 贰 */,     {0x53C1, 0xC8FE} /* 叁 */,
    {0x8086, 0xCBC1} /* 肆 */, {0x4F0D, 0xCEE9} /* 伍 */,     {0x9646, 0xC2BD} /* 陆 */,
    {0x67D2, 0xC6E2} /* 柒 */, {0x634C, 0xB0C6} /* 捌 */,     {0x7396, 0xBEC1} /* 玖 */,
    {0x62FE, 0xCAB0} /* 拾 */, {0x4F70, 0xB0DB} /* 佰 */,     {0x4EDF, 0xC7AA} /* 仟 */,
    {0xFF10, 0xA3B0} /* ０ */, {0xFF11, 0xA3B1} /* １ */,     {0xFF12, 0xA3B2} /* ２ */,
    {0xFF13, 0xA3B3} /* ３ */, {0xFF14, 0xA3B4} /* ４ */,     {0xFF15, 0xA3B5} /* ５ */,
    {0xFF16, 0xA3B6} /* ６ */, {0xFF17, 0xA3B7} /* ７ */,     {0xFF18, 0xA3B8} /* ８ */,
    {0xFF19, 0xA3B9} /* ９ */, {0x5E8F, 0xD0F2} /* 序 */,     {0x8A00, 0xD1D4} /* 言 */,
    {0x6954, 0xD0A8} /* 楔 */, {0x5B50, 0xD7D3} /* 子 */,     {0x5F15, 0xD2FD} /* 引 */,
    {0x5C3E, 0xCEB2} /* 尾 */, {0x58F0, 0xC9F9} /* 声 */,     {0x540E, 0xBAF3} /* 后 */,
    {0x8BB0, 0xBCC7} /* 记 */, {0x756A, 0xB7AC} /* 番 */,     {0x5916, 0xCDE2} /* 外 */,
    {0xFF1A, 0xA3BA} /* ： */, {0x3000, 0xA1A1} /* U+3000 */,
};

constexpr char32_t kUnknown = 0xFFFD;
constexpr std::u32string_view kChineseNumerals =
    U"零〇一二两三四五六七八九十百千万壹贰叁肆伍陆柒捌玖拾佰仟";
constexpr std::u32string_view kChapterWords = U"章回节卷集部篇";
constexpr std::u32string_view kNamedParts[] = {U"序章", U"序言", U"楔子", U"引子",
                                               U"尾声", U"后记", U"番外"};

char32_t fromGbk(std::uint16_t code) {
    for (const GbkCharacter& entry : kGbkTable) {
        if (entry.gbk == code) return entry.codePoint;
    }
    return kUnknown;
}

// Reads the next character of `line` from `at`, which must be a character
// boundary, and moves `at` past it. Only what the built-in rule can tell
// apart is decoded; any other character reads as U+FFFD.
char32_t nextCharacter(std::string_view line, std::size_t& at, TextEncoding encoding) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    const unsigned char first = byte(at);
    switch (encoding) {
        case TextEncoding::Gbk:
            if (isGbkLead(first) && at + 1 < line.size() && isGbkTrail(byte(at + 1))) {
                const auto code = static_cast<std::uint16_t>(first << 8 | byte(at + 1));
                at += 2;
                return fromGbk(code);
            }
            ++at;
            return first < 0x80 ? first : kUnknown;
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: {
            std::size_t length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
            if (first >= 0x80 && first < 0xC0) length = 1;  // a stray continuation byte
            char32_t value =
                length == 1 ? char32_t{first} : char32_t{first} & (0x3Fu >> (length - 1));
            std::size_t i = 1;
            for (; i < length && at + i < line.size() && (byte(at + i) & 0xC0) == 0x80; ++i) {
                value = value << 6 | (char32_t{byte(at + i)} & 0x3Fu);
            }
            at += i;
            return i == length && (first < 0x80 || first >= 0xC0) ? value : kUnknown;
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            if (at + 1 >= line.size()) {
                ++at;
                return kUnknown;
            }
            const bool little = encoding == TextEncoding::Utf16Le;
            const char32_t low = little ? first : byte(at + 1);
            const char32_t high = little ? byte(at + 1) : first;
            const char32_t unit = high << 8 | low;
            at += 2;
            return unit;  // the rule's characters are all in one unit
        }
    }
    return kUnknown;
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
    if (text.substr(0, 7) == U"Chapter" || text.substr(0, 7) == U"CHAPTER") {
        std::size_t j = 7;
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

void appendWide(std::wstring& text, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            text += static_cast<wchar_t>(0xD800 + (c >> 10));
            text += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    text += static_cast<wchar_t>(c);
}

std::wregex compile(const std::string& pattern) {
    return std::wregex(decodeLine(pattern, TextEncoding::Utf8), std::regex::ECMAScript);
}

}  // namespace

// The characters a heading can start with, past its blanks.
constexpr std::u32string_view kHeadingStarts = U"第序楔引尾后番C";

ChapterHeading::ChapterHeading(TextEncoding encoding) : encoding_(encoding) {
    for (char32_t c : kHeadingStarts) {
        if (c < 0x80) {
            firstBytes_[c] = true;
        } else if (encoding == TextEncoding::Gbk) {
            for (const GbkCharacter& entry : kGbkTable) {
                if (entry.codePoint == c) firstBytes_[entry.gbk >> 8] = true;
            }
        } else {
            firstBytes_[0xE0 | (c >> 12)] = true;  // UTF-8: all are three bytes long
        }
    }
}

ChapterHeading::ChapterHeading(TextEncoding encoding, const std::string& pattern)
    : encoding_(encoding), pattern_(compile(pattern)) {}

std::string ChapterHeading::problemWith(const std::string& pattern) {
    try {
        compile(pattern);
    } catch (const std::regex_error& error) {
        return error.what();
    }
    return {};
}

bool ChapterHeading::matches(std::string_view line) const {
    if (line.size() > kMaxBytes) return false;
    if (pattern_) return std::regex_search(decodeLine(line, encoding_), *pattern_);
    return matchesBuiltIn(line);
}

bool ChapterHeading::mayStartHeading(std::string_view line) const {
    const auto byte = [&](std::size_t i) -> char32_t {
        return i < line.size() ? static_cast<unsigned char>(line[i]) : 0u;
    };
    std::size_t i = 0;
    if (codeUnitSize(encoding_) == 2) {
        const bool little = encoding_ == TextEncoding::Utf16Le;
        while (i + 1 < line.size()) {
            const char32_t unit = little ? byte(i + 1) << 8 | byte(i) : byte(i) << 8 | byte(i + 1);
            if (!isBlank(unit)) return kHeadingStarts.find(unit) != std::u32string_view::npos;
            i += 2;
        }
        return false;
    }
    while (i < line.size()) {
        const char32_t b = byte(i);
        if (b == ' ' || b == '\t') {
            ++i;
        } else if (encoding_ == TextEncoding::Gbk && b == 0xA1 && byte(i + 1) == 0xA1) {
            i += 2;  // U+3000
        } else if (encoding_ != TextEncoding::Gbk && b == 0xE3 && byte(i + 1) == 0x80 &&
                   byte(i + 2) == 0x80) {
            i += 3;  // U+3000
        } else {
            return firstBytes_[b];
        }
    }
    return false;
}

bool ChapterHeading::matchesBuiltIn(std::string_view line) const {
    if (!mayStartHeading(line)) return false;
    // The first character past the blanks tells most lines apart at once.
    std::array<char32_t, kMaxCharacters + 1> text{};
    std::size_t count = 0;
    std::size_t at = 0;
    bool leading = true;  // only blanks so far
    while (at < line.size() && count < text.size()) {
        const char32_t c = nextCharacter(line, at, encoding_);
        text[count++] = c;
        if (leading && !isBlank(c)) {
            if (c != U'第' && c != U'序' && c != U'楔' && c != U'引' && c != U'尾' && c != U'后' &&
                c != U'番' && c != U'C') {
                return false;
            }
            leading = false;
        }
    }
    if (at < line.size()) return false;  // more characters than a heading has
    if (count > kMaxCharacters || CharCounter::countLine(encoding_, line) > kMaxCharacters) {
        return false;
    }
    return isHeadingText({text.data(), count});
}

std::wstring decodeLine(std::string_view line, TextEncoding encoding) {
    if (encoding == TextEncoding::Gbk) return decodeGbk(line);
    std::wstring text;
    for (std::size_t at = 0; at < line.size();) appendWide(text, nextCharacter(line, at, encoding));
    return text;
}

}  // namespace tovane
