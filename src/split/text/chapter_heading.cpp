#include "split/text/chapter_heading.h"

#include <algorithm>

#include "split/text/char_counter.h"
#include "split/text/gbk_text.h"

namespace tovane {

namespace {

constexpr char32_t kChapter = U'第';
// The words after a number that make 第 + number a heading; 部分 is read
// before 部. Volumes and parts come first.
constexpr std::u32string_view kVolumeWords = U"卷部集篇册季分";
constexpr std::u32string_view kChapterWords = U"章回节讲课话幕";
constexpr std::u32string_view kNamedParts[] = {U"序章", U"序言", U"楔子", U"引子", U"尾声",
                                               U"后记", U"番外", U"前言", U"终章"};
constexpr std::u32string_view kChapterInEnglish[] = {U"Chapter", U"CHAPTER"};
// Words that open a weak heading before its number: 卷一, 章 12.
constexpr std::u32string_view kWordsFirst = U"卷章部篇";
// A word a book puts before a number-first heading: 正文 001 初见.
constexpr std::u32string_view kBodyWord = U"正文";
// What follows a heading word directly in a sentence, not in a title:
// 他翻到第三章的时候, 第一节课.
constexpr std::u32string_view kSentenceWords =
    U"的了之中里时后前就都也还和与及被把对给在是说所为以而课合到";
// Quotation marks: a line that opens with one is somebody's words.
constexpr std::u32string_view kQuotes = U"“”‘’\"'「」『』";
// The longest prefix before 第, in characters: a title, 正文, brackets.
constexpr std::size_t kLongestPrefix = 12;

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\x3000' || c == U'\xA0';
}
bool isAsciiDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool isDigit(char32_t c) {
    return isAsciiDigit(c) || (c >= U'\xFF10' && c <= U'\xFF19');
}
int digitValue(char32_t c) {
    return isAsciiDigit(c) ? static_cast<int>(c - U'0') : static_cast<int>(c - U'\xFF10');
}
// The value of a Chinese numeral character, or -1; units are 10, 100, 1000, 10000.
int chineseValue(char32_t c) {
    static constexpr std::u32string_view kDigits[] = {
        U"零〇", U"一壹", U"二贰两", U"三叁", U"四肆", U"五伍", U"六陆", U"七柒", U"八捌", U"九玖"};
    for (int value = 0; value < 10; ++value) {
        if (kDigits[value].find(c) != std::u32string_view::npos) return value;
    }
    if (c == U'十' || c == U'拾') return 10;
    if (c == U'廿') return 20;
    if (c == U'卅') return 30;
    if (c == U'卌') return 40;
    if (c == U'百' || c == U'佰') return 100;
    if (c == U'千' || c == U'仟') return 1000;
    if (c == U'万') return 10000;
    return -1;
}
bool isHan(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x20000 && c <= 0x2FFFF) || c == U'〇';
}
bool isLetterOrDigit(char32_t c) {
    return isHan(c) || isDigit(c) || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// A number at text[at]: digits (Arabic or full-width, zeros in front
// allowed) or Chinese numerals. Moves `at` past it.
std::optional<std::uint32_t> readNumber(std::u32string_view text, std::size_t& at, bool& chinese) {
    const std::size_t start = at;
    std::uint64_t value = 0;
    if (at < text.size() && isDigit(text[at])) {
        while (at < text.size() && isDigit(text[at])) {
            value = std::min<std::uint64_t>(
                value * 10 + static_cast<unsigned>(digitValue(text[at])), 999999999);
            ++at;
        }
        chinese = false;
        return static_cast<std::uint32_t>(value);
    }
    bool units = false;
    while (at < text.size() && chineseValue(text[at]) >= 0) {
        units = units || chineseValue(text[at]) >= 10;
        ++at;
    }
    if (at == start) return std::nullopt;
    chinese = true;
    const std::u32string_view numeral = text.substr(start, at - start);
    if (!units) {  // 一〇八: digit by digit
        for (char32_t c : numeral)
            value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(chineseValue(c)),
                                            999999999);
        return static_cast<std::uint32_t>(value);
    }
    std::uint64_t total = 0;    // of the ten-thousands before
    std::uint64_t section = 0;  // below ten thousand
    std::uint64_t digit = 0;
    for (char32_t c : numeral) {
        const int v = chineseValue(c);
        if (v < 10) {
            digit = static_cast<std::uint64_t>(v);
        } else if (v < 100 && v % 10 == 0 && v > 10) {  // 廿一: twenty, then one
            section += static_cast<std::uint64_t>(v);
        } else if (v == 10000) {
            total = (total + section + digit) * 10000;
            section = 0;
            digit = 0;
        } else {
            section += (digit == 0 ? 1 : digit) * static_cast<std::uint64_t>(v);  // 十二: 1 × 10
            digit = 0;
        }
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(total + section + digit, 999999999));
}

std::size_t skipBlanks(std::u32string_view text, std::size_t at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    return at;
}

// A table of contents' line: the title, leader dots, a page number.
bool isContentsLine(std::u32string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (isDigit(text[end - 1]) || isBlank(text[end - 1]))) --end;
    if (end == text.size()) return false;
    std::size_t dots = 0;
    while (end > 0 &&
           std::u32string_view(U"…．.·-—_").find(text[end - 1]) != std::u32string_view::npos) {
        --end;
        ++dots;
    }
    return dots >= 3 || (dots >= 1 && text[end] == U'…');
}

// What may stand before 第: nothing, or up to a dozen characters that end in
// a blank or a mark (【正文】, 《书名》, ●, 书名_, [() — not the words of a
// sentence that runs on into 第 (他翻到第三章).
bool isPrefix(std::u32string_view prefix) {
    if (prefix.empty()) return true;
    if (prefix.size() > kLongestPrefix || isLetterOrDigit(prefix.back())) return false;
    return std::none_of(prefix.begin(), prefix.end(),
                        [](char32_t c) { return kQuotes.find(c) != std::u32string_view::npos; });
}

// 第 + number + word at text[at], then the rest of the line.
std::optional<HeadingLine> readNumbered(std::u32string_view text, std::size_t at) {
    HeadingLine heading;
    at = skipBlanks(text, at + 1);
    const std::optional<std::uint32_t> number = readNumber(text, at, heading.chineseNumber);
    if (!number) return std::nullopt;
    at = skipBlanks(text, at);
    if (at >= text.size()) return std::nullopt;
    char32_t word = text[at];
    if (text.substr(at, 2) == U"部分") {
        word = U'分';
        ++at;
    } else if (kVolumeWords.find(word) == std::u32string_view::npos &&
               kChapterWords.find(word) == std::u32string_view::npos) {
        return std::nullopt;
    }
    ++at;
    // A sentence that mentions a chapter: 第三章的时候, or one that ends as sentences do.
    if (at < text.size() && kSentenceWords.find(text[at]) != std::u32string_view::npos) {
        return std::nullopt;
    }
    if (text.back() == U'。') return std::nullopt;
    heading.form = HeadingLine::Form::Numbered;
    heading.word = word;
    heading.number = *number;
    return heading;
}

std::optional<HeadingLine> readNamed(std::u32string_view text) {
    for (std::u32string_view name : kNamedParts) {
        if (text.substr(0, 2) != name) continue;
        if (text.size() > 2) {
            const char32_t next = text[2];
            if (!(isBlank(next) || next == U':' || next == U'：' || next == U'、' ||
                  isDigit(next) || chineseValue(next) >= 0 || !isLetterOrDigit(next))) {
                return std::nullopt;
            }
        }
        HeadingLine heading;
        heading.form = HeadingLine::Form::Named;
        return heading;
    }
    return std::nullopt;
}

bool isRomanDigit(char32_t c) {
    return std::u32string_view(U"IVXLCDMivxlcdm").find(c) != std::u32string_view::npos;
}

std::optional<HeadingLine> readEnglish(std::u32string_view text) {
    for (std::u32string_view word : kChapterInEnglish) {
        if (text.substr(0, word.size()) != word) continue;
        std::size_t j = word.size();
        if (j >= text.size() || !isBlank(text[j])) return std::nullopt;
        j = skipBlanks(text, j);
        const std::size_t number = j;
        const bool digits = j < text.size() && isAsciiDigit(text[j]);
        while (j < text.size() && (digits ? isAsciiDigit(text[j]) : isRomanDigit(text[j]))) ++j;
        if (j == number || (j < text.size() && (isAsciiDigit(text[j]) ||
                                                (text[j] < 0x80 && isLetterOrDigit(text[j]))))) {
            return std::nullopt;
        }
        HeadingLine heading;
        heading.form = HeadingLine::Form::English;
        if (digits) {
            std::size_t at = number;
            bool chinese = false;
            heading.number = readNumber(text, at, chinese).value_or(0);
        }
        return heading;
    }
    return std::nullopt;
}

// The forms that open with the number, or a heading word and the number.
std::optional<HeadingLine> readNumberFirst(std::u32string_view text) {
    HeadingLine heading;
    std::size_t at = 0;
    if (text.substr(0, kBodyWord.size()) == kBodyWord) at = skipBlanks(text, kBodyWord.size());
    const bool bracketed = at < text.size() && (text[at] == U'(' || text[at] == U'（');
    if (at == 0 && kWordsFirst.find(text[0]) != std::u32string_view::npos) {
        heading.form = HeadingLine::Form::WordFirst;
        heading.word = text[0];
        at = skipBlanks(text, 1);
    } else if (bracketed) {
        heading.form = HeadingLine::Form::Bracketed;
        ++at;
    }
    const std::size_t numberAt = at;
    const std::optional<std::uint32_t> number = readNumber(text, at, heading.chineseNumber);
    if (!number) return std::nullopt;
    heading.number = *number;
    const std::size_t numberLength = at - numberAt;
    if (heading.form == HeadingLine::Form::WordFirst) {
        // 卷一, 卷一 风起, 卷一：风起; not 卷一百本书 or 部长.
        if (at == text.size() || isBlank(text[at]) || !isLetterOrDigit(text[at])) return heading;
        return std::nullopt;
    }
    if (heading.form == HeadingLine::Form::Bracketed) {
        if (at + 1 == text.size() && (text[at] == U')' || text[at] == U'）')) return heading;
        return std::nullopt;
    }
    if (at == text.size()) {
        heading.form = numberAt == 0 ? HeadingLine::Form::Bare : HeadingLine::Form::Titled;
        return heading;
    }
    // A number that is part of a word (一个, 二十年前) is no heading.
    if (text[at] == U'、' && numberAt == 0 && at + 1 < text.size()) {
        heading.form = HeadingLine::Form::Listed;
        return heading;
    }
    if (isBlank(text[at]) && numberLength <= 10) {
        const std::size_t title = skipBlanks(text, at);
        // A short title after it: 一 远行.
        if (title < text.size() && text.size() - title <= 15 &&
            std::none_of(
                text.begin() + static_cast<std::ptrdiff_t>(title), text.end(),
                [](char32_t c) { return c == U'。' || c == U'，' || c == U'？' || c == U'！'; })) {
            heading.form = HeadingLine::Form::Titled;
            return heading;
        }
    }
    return std::nullopt;
}

}  // namespace

bool HeadingLine::volume() const {
    return (form == Form::Numbered && kVolumeWords.find(word) != std::u32string_view::npos) ||
           (form == Form::WordFirst && word != U'章');
}

std::optional<HeadingLine> readHeading(std::u32string_view text) {
    if (text.empty() || text.size() > ChapterHeading::kMaxCharacters || isContentsLine(text)) {
        return std::nullopt;
    }
    // 第 after a prefix; the prefix may hold a 第 of its own (第一梦 春雨 第01章).
    for (std::size_t at = 0; at < text.size() && at <= kLongestPrefix; ++at) {
        if (text[at] != kChapter || !isPrefix(text.substr(0, at))) continue;
        if (std::optional<HeadingLine> heading = readNumbered(text, at)) return heading;
    }
    if (std::optional<HeadingLine> named = readNamed(text)) return named;
    // The same names after a bracket or a bullet: 【番外】, ●楔子.
    std::size_t start = 0;
    while (start < text.size() && start < 2 && !isLetterOrDigit(text[start]) &&
           text[start] != U'(' && text[start] != U'（') {
        ++start;
    }
    if (start > 0) {
        if (std::optional<HeadingLine> named = readNamed(text.substr(start))) return named;
    }
    if (std::optional<HeadingLine> english = readEnglish(text)) return english;
    return readNumberFirst(text);
}

ChapterHeading::ChapterHeading(TextEncoding encoding, std::shared_ptr<const HeadingPattern> pattern)
    : encoding_(encoding),
      facts_(&factsOf(encoding)),
      pattern_(std::move(pattern)),
      chapterBytes_(encodeCharacter(kChapter, encoding)) {
    // Past any blanks, a heading opens with one of these; a prefix before
    // 第, when it has one, with a mark.
    std::u32string starts = U"第卷章部篇正序楔引尾后番前终Cc(（【《[〔「『<●○◆◇■□★☆※·•-=—…_";
    for (char32_t c = U'0'; c <= U'9'; ++c) starts += c;
    for (char32_t c = U'\xFF10'; c <= U'\xFF19'; ++c) starts += c;
    starts += U"零〇一二两三四五六七八九十百千万壹贰叁肆伍陆柒捌玖拾佰仟";
    for (char32_t c : starts) starts_[c] = true;
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

// Past its blanks, a heading opens with a character from a short list, or
// holds 第 within its first characters.
bool ChapterHeading::mayStartHeading(std::string_view line) const {
    std::size_t at = 0;
    char32_t first = U' ';
    while (at < line.size() && isBlank(first)) first = facts_->decode(line, at);
    if (first < starts_.size() && starts_[first]) return true;
    const std::size_t window = (kLongestPrefix + 1) * facts_->longestCharacter;
    return !chapterBytes_.empty() &&
           line.substr(0, window).find(chapterBytes_) != std::string_view::npos;
}

std::optional<HeadingLine> ChapterHeading::read(std::string_view line) const {
    if (line.size() > kMaxBytes) return std::nullopt;
    // Lines that may be headings are short: decoded here, not on the heap.
    std::array<char32_t, kMaxBytes> text;
    std::size_t count = 0;
    if (pattern_) {
        for (std::size_t at = 0; at < line.size();) text[count++] = facts_->decode(line, at);
        if (!pattern_->foundIn({text.data(), count})) return std::nullopt;
        return HeadingLine{};
    }
    // Cheapest first: the length, then the first character, then the count.
    if (line.size() > kMaxCharacters * facts_->longestCharacter || !mayStartHeading(line) ||
        (line.size() > kMaxCharacters &&
         CharCounter::countLine(encoding_, line) > kMaxCharacters)) {
        return std::nullopt;
    }
    for (std::size_t at = 0; at < line.size() && count < text.size();) {
        text[count++] = facts_->decode(line, at);
    }
    std::u32string_view trimmed(text.data(), count);
    while (!trimmed.empty() && isBlank(trimmed.front())) trimmed.remove_prefix(1);
    while (!trimmed.empty() && isBlank(trimmed.back())) trimmed.remove_suffix(1);
    return readHeading(trimmed);
}

bool ChapterHeading::matches(std::string_view line) const {
    const std::optional<HeadingLine> heading = read(line);
    return heading && !heading->weak();
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
                for (unsigned trail = facts.pairs.trailFirst; trail <= facts.pairs.trailLast;
                     ++trail) {
                    if (facts.pairs.isTrail(static_cast<unsigned char>(trail)) &&
                        gbkPair(static_cast<unsigned char>(lead),
                                static_cast<unsigned char>(trail)) == c) {
                        return {static_cast<char>(lead), static_cast<char>(trail)};
                    }
                }
            }
            return {};
        case CharacterForm::Utf8:
            if (c < 0x80) return std::string(1, static_cast<char>(c));
            if (c < 0x800) {
                return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
            }
            if (c < 0x10000) {
                return {static_cast<char>(0xE0 | c >> 12),
                        static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                        static_cast<char>(0x80 | (c & 0x3F))};
            }
            return {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
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
