#include "split/chapters/heading_line.h"

#include <algorithm>

namespace tovane {

namespace {

constexpr char32_t kChapter = U'第';
// The words after a number that make 第 + number a heading; 部分 is read
// before 部. Volumes and parts come first.
constexpr std::u32string_view kVolumeWords = U"卷部集篇册季分编辑";
constexpr std::u32string_view kChapterWords = U"章回节讲课话幕折";
// Front and back matter, the longer names before those they begin with.
constexpr std::u32string_view kMatter[] = {
    U"出版者的话", U"完本感言", U"出版说明", U"出版后记", U"再版前言", U"再版后记", U"译者前言",
    U"译者后记", U"作者前言", U"写在前面", U"写在后面", U"内容简介", U"结束语", U"卷首语",
    U"译者序", U"作者序", U"译后记", U"序章", U"序言", U"序幕", U"序曲", U"自序", U"代序",
    U"新序", U"前言", U"楔子", U"引子", U"引言", U"导言", U"导论", U"绪论", U"绪言", U"尾声",
    U"后记", U"后序", U"番外", U"外传", U"终章", U"附录", U"附记", U"致谢", U"鸣谢", U"结语",
    U"余论", U"题记", U"注释", U"说明", U"跋", U"序"};
// The matter a title of the book's own may end in: 中译本前言, 出版后记,
// “作品集”新序; a lone 序 or 跋 only after a word that makes it one.
constexpr std::u32string_view kMatterEndings[] = {U"前言", U"序言", U"后记", U"导言",
                                                  U"引言", U"后序", U"致谢", U"序", U"跋"};
constexpr std::u32string_view kBeforeLoneMatter = U"版本者新再自代总译原的”》」』）)—";
// What a site writes under the title of a piece (更新时间 2009-1-9, 字数：
// 1511) and the marks of an author's name under it (◇ 作者, 文/作者).
constexpr std::u32string_view kNotesUnderTitle[] = {
    U"更新时间", U"更新日期", U"发布时间", U"发表时间", U"上传时间", U"字数：", U"字数:",
    U"◇",       U"文/",     U"文／",     U"作者/",    U"作者／"};
// What a site writes on its pages of a book: 书名_分节阅读_5.
constexpr std::u32string_view kPageWords = U"分节阅读";
// The longest title that stands on a line of its own.
constexpr std::size_t kTitleCharacters = 30;
constexpr std::u32string_view kChapterInEnglish[] = {U"Chapter", U"CHAPTER"};
// Words that open a weak heading before its number: 卷一, 章 12.
constexpr std::u32string_view kWordsFirst = U"卷章部篇";
// A word a book puts before its headings: 正文 001 初见, 正文 尾声.
constexpr std::u32string_view kBodyWord = U"正文";
// What follows a heading word directly in a sentence, not in a title:
// 他翻到第三章的时候, 第一节课, 第三回合.
constexpr std::u32string_view kSentenceWords =
    U"的了之中里时后前就都也还和与及被把对给在是说所为以而课合到";
// Quotation marks: a line that opens with one is somebody's words.
constexpr std::u32string_view kQuotes = U"“”‘’\"'「」『』";
// Punctuation that ends or divides a sentence.
constexpr std::u32string_view kSentencePunctuation = U"。，；：、…,;";
// What a title of an end marker is: 第三卷终, （第五卷完）, 第一部修改毕.
constexpr std::u32string_view kEndWords = U"终完毕";
// A title of two phrases around a comma is at most this long.
constexpr std::size_t kCommaTitleCharacters = 16;
constexpr std::u32string_view kOpening = kOpeningBrackets;
constexpr std::u32string_view kClosing = kClosingBrackets;
// The longest prefix before 第, in characters: a title, 正文, brackets.
constexpr std::size_t kLongestPrefix = 12;

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
bool isOneOf(char32_t c, std::u32string_view set) {
    return set.find(c) != std::u32string_view::npos;
}
// 32 bits: a book's few thousand headings seldom share one by chance, and
// a million candidates stay small.
std::uint32_t hashOf(std::u32string_view text, std::size_t most = SIZE_MAX) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    bool any = false;
    for (char32_t c : text) {
        if (!isLetterOrDigit(c)) continue;
        if (most-- == 0) break;
        if (c >= U'\xFF10' && c <= U'\xFF19') c = c - U'\xFF10' + U'0';
        hash = (hash ^ c) * 0x100000001b3ull;
        any = true;
    }
    return any ? static_cast<std::uint32_t>(hash ^ (hash >> 32)) | 1 : 0;
}

int chineseValue(char32_t c);

// A title without the mark of a part of one chapter: 风起（上）, 风起(2);
// `piece` says which part it marks, 0 where it has no mark.
std::u32string_view withoutPartMark(std::u32string_view title, std::uint8_t& piece) {
    title = trimmed(title);
    piece = 0;
    const auto partNumber = [](std::u32string_view mark) -> std::uint8_t {
        if (mark.size() == 1 && isOneOf(mark[0], U"上中下")) {
            return mark[0] == U'上' ? 1 : mark[0] == U'中' ? 2 : 3;
        }
        unsigned value = 0;
        for (char32_t c : mark) {
            if (c >= U'0' && c <= U'9') {
                value = value * 10 + (c - U'0');
            } else if (c >= U'\xFF10' && c <= U'\xFF19') {
                value = value * 10 + (c - U'\xFF10');
            } else if (chineseValue(c) >= 0 && chineseValue(c) < 10) {
                value = value * 10 + static_cast<unsigned>(chineseValue(c));
            } else if (c == U'十') {
                value = value == 0 ? 10 : value * 10;
            } else {
                return 0;
            }
        }
        return static_cast<std::uint8_t>(std::min(value, 255u));
    };
    // 3.2: the second piece of 3.
    const std::size_t point = title.find_last_of(U".．");
    if (point != std::u32string_view::npos && point > 0 && point + 1 < title.size() &&
        std::all_of(title.begin(), title.end(),
                    [](char32_t c) { return isDigit(c) || c == U'.' || c == U'．'; })) {
        piece = partNumber(title.substr(point + 1));
        return title.substr(0, point);
    }
    if (!title.empty() && isOneOf(title.back(), U")）】]")) {
        const std::size_t open = title.find_last_of(U"(（【[");
        if (open != std::u32string_view::npos && title.size() - open <= 5) {
            piece = partNumber(title.substr(open + 1, title.size() - open - 2));
            title = title.substr(0, open);
        }
    } else if (title.size() >= 2 && isOneOf(title.back(), U"上中下") &&
               !isOneOf(title[title.size() - 2], U"之以而在")) {
        title.remove_suffix(1);  // 风起上: the same title, no part number to tell
    }
    return trimmed(title);
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

// A table of contents' line: the title, leader dots, a page number. Its
// title, or nothing for any other line.
std::optional<std::u32string_view> contentsEntry(std::u32string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (isDigit(text[end - 1]) || isBlank(text[end - 1]))) --end;
    if (end == text.size()) return std::nullopt;
    std::size_t dots = 0;
    while (end > 0 &&
           std::u32string_view(U"…．.·-—_").find(text[end - 1]) != std::u32string_view::npos) {
        --end;
        ++dots;
    }
    if (dots >= 3 || (dots >= 1 && text[end] == U'…')) return trimmed(text.substr(0, end));
    return std::nullopt;
}

// A scan's page number on a line of its own: -- 12, - 12 -, —12—.
bool isPageNumber(std::u32string_view text) {
    if (text.empty() || !isOneOf(text.front(), U"-—－")) return false;
    bool digits = false;
    for (char32_t c : text) {
        if (isDigit(c)) {
            digits = true;
        } else if (!isOneOf(c, U"-—－") && !isBlank(c)) {
            return false;
        }
    }
    return digits;
}

// What may stand before 第: nothing, or up to a dozen characters that end in
// a blank or a mark (【正文】, ●, 书名_, [() — not the words of a sentence
// that runs on into 第 (他翻到第三章), a sentence's punctuation (army，第7集团军),
// nor an open 《 that the heading would be quoted in (《旧史通录·第九卷》).
bool isPrefix(std::u32string_view prefix) {
    if (prefix.empty()) return true;
    if (prefix.size() > kLongestPrefix || isLetterOrDigit(prefix.back())) return false;
    if (std::count(prefix.begin(), prefix.end(), U'《') >
        std::count(prefix.begin(), prefix.end(), U'》')) {
        return false;
    }
    return std::none_of(prefix.begin(), prefix.end(), [](char32_t c) {
        return isOneOf(c, kQuotes) || (isOneOf(c, kSentencePunctuation) && c != U'：');
    });
}

// The title after a heading's word: separators before it left off.
std::u32string_view titleAfter(std::u32string_view text, std::size_t at) {
    at = skipBlanks(text, at);
    while (at < text.size() && isOneOf(text[at], U"：:、.．-—_·")) at = skipBlanks(text, at + 1);
    return text.substr(std::min(at, text.size()));
}

// A title that says a unit ended: 终, 完, 修改毕, 全文完.
bool isEndMarker(std::u32string_view title) {
    while (!title.empty() && (isOneOf(title.back(), kClosing) || isOneOf(title.back(), U"。！!"))) {
        title.remove_suffix(1);
    }
    while (!title.empty() && isOneOf(title.front(), kOpening)) title.remove_prefix(1);
    title = trimmed(title);
    if (title == U"完结" || title == U"完毕" || title == U"终了") return true;
    return !title.empty() && title.size() <= 4 && isOneOf(title.back(), kEndWords);
}

// Sentence punctuation inside a title; one ！ or ？ at its end is a title's,
// so are a colon between its parts (序：风起) and the dots a site cut it with.
bool punctuatedTitle(std::u32string_view title) {
    title = trimmed(title);
    while (!title.empty() && title.back() == U'…') title.remove_suffix(1);
    if (!title.empty() && isOneOf(title.back(), U"！？!?")) title.remove_suffix(1);
    const std::size_t colon = title.find_first_of(U"：:");
    const bool oneColon = colon != std::u32string_view::npos && colon > 0 &&
                          colon + 1 < title.size() &&
                          title.find_first_of(U"：:", colon + 1) == std::u32string_view::npos;
    // Two short phrases on either side of one comma make a title too (推销难，
    // 难于上青天); a sentence runs longer.
    const std::size_t comma = title.find(U'，');
    const bool oneComma = comma != std::u32string_view::npos && comma >= 2 &&
                          comma + 3 <= title.size() && title.size() <= kCommaTitleCharacters &&
                          title.find(U'，', comma + 1) == std::u32string_view::npos;
    return std::any_of(title.begin(), title.end(), [oneColon, oneComma](char32_t c) {
        if (oneColon && (c == U'：' || c == U':')) return false;
        if (oneComma && c == U'，') return false;
        return isOneOf(c, kSentencePunctuation) || isOneOf(c, U"。！？!?");
    });
}

void describeTitle(HeadingLine& heading, std::u32string_view title) {
    title = trimmed(title);
    while (!title.empty() && isDecoration(title.back())) title.remove_suffix(1);
    heading.numberOnly = trimmed(title).empty();
    // A piece's mark after a title's ？ leaves the ？ at the title's end.
    const std::u32string_view unmarked = withoutPartMark(title, heading.piece);
    heading.punctuated = punctuatedTitle(unmarked);
    heading.titleHash = hashOf(unmarked);
    heading.titleHeadHash = hashOf(title, 4);
}

// A heading word and number at the start of `text` or after a short part of
// a title: 第三卷 in 第二季 第三卷 风雪夜归, 第2节 in 第一部分 山中旧事第2节 古寺.
void readInnerNumber(HeadingLine& heading, std::u32string_view title) {
    for (std::size_t at = 0; at < title.size() && at <= kLongestPrefix; ++at) {
        if (title[at] != kChapter) continue;
        std::size_t next = skipBlanks(title, at + 1);
        bool chinese = false;
        const std::optional<std::uint32_t> number = readNumber(title, next, chinese);
        if (!number) continue;
        next = skipBlanks(title, next);
        if (next >= title.size()) continue;
        char32_t word = title[next];
        if (title.substr(next, 2) == U"部分") {
            word = U'分';
            ++next;
        } else if (!isOneOf(word, kVolumeWords) && !isOneOf(word, kChapterWords)) {
            continue;
        }
        if (next + 1 < title.size() && isOneOf(title[next + 1], kSentenceWords)) continue;
        heading.innerWord = word;
        heading.innerNumber = *number;
        describeTitle(heading, titleAfter(title, next + 1));
        return;
    }
}

// 第 + number + word at text[at], then the rest of the line.
std::optional<HeadingLine> readNumbered(std::u32string_view text, std::size_t at) {
    HeadingLine heading;
    const bool opensLine = at == 0;
    at = skipBlanks(text, at + 1);
    const std::optional<std::uint32_t> number = readNumber(text, at, heading.chineseNumber);
    if (!number) return std::nullopt;
    at = skipBlanks(text, at);
    if (at >= text.size()) return std::nullopt;
    char32_t word = text[at];
    if (text.substr(at, 2) == U"部分") {
        word = U'分';
        ++at;
    } else if (!isOneOf(word, kVolumeWords) && !isOneOf(word, kChapterWords)) {
        return std::nullopt;
    }
    ++at;
    // A sentence that mentions a chapter: 第三章的时候, or one that ends as sentences do.
    if (at < text.size() && isOneOf(text[at], kSentenceWords)) return std::nullopt;
    const std::u32string_view title = titleAfter(text, at);
    // A 。 ends a sentence; only a title of a heading that opens its line may
    // hold one between its parts (第四章 收获。一本书).
    const std::size_t stop = text.find(U'。');
    if (stop != std::u32string_view::npos &&
        (!opensLine || stop + 1 == text.size() || title.size() > kTitleCharacters + 10)) {
        return std::nullopt;
    }
    heading.form = HeadingLine::Form::Numbered;
    heading.word = word;
    heading.number = *number;
    describeTitle(heading, title);
    if (isEndMarker(title)) heading.miss = HeadingLine::Miss::EndMarker;
    if (isOneOf(word, kVolumeWords)) readInnerNumber(heading, title);
    return heading;
}

std::optional<HeadingLine> readNamed(std::u32string_view text) {
    if (text.substr(0, kBodyWord.size()) == kBodyWord) {
        text = trimmed(text.substr(kBodyWord.size()));
    }
    for (std::u32string_view name : kMatter) {
        if (text.substr(0, name.size()) != name) continue;
        std::size_t at = name.size();
        if (at < text.size()) {
            const char32_t next = text[at];
            if (!(isBlank(next) || isOneOf(next, U":：、.．-—_·") || isDigit(next) ||
                  chineseValue(next) >= 0 || !isLetterOrDigit(next))) {
                return std::nullopt;
            }
        }
        HeadingLine heading;
        heading.form = HeadingLine::Form::Named;
        heading.word = name.front();
        std::size_t numberAt = skipBlanks(text, at);
        if (const std::optional<std::uint32_t> number =
                readNumber(text, numberAt, heading.chineseNumber)) {
            heading.number = *number;
            at = numberAt;
        }
        if (text.find(U'。') != std::u32string_view::npos) return std::nullopt;
        describeTitle(heading, titleAfter(text, at));
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
        heading.word = U'C';
        if (digits) {
            std::size_t at = number;
            bool chinese = false;
            heading.number = readNumber(text, at, chinese).value_or(0);
        }
        describeTitle(heading, titleAfter(text, j));
        return heading;
    }
    return std::nullopt;
}

// The forms that open with the number, or a heading word and the number.
std::optional<HeadingLine> readNumberFirst(std::u32string_view text) {
    HeadingLine heading;
    std::size_t at = 0;
    const bool body = text.substr(0, kBodyWord.size()) == kBodyWord;
    if (body) at = skipBlanks(text, kBodyWord.size());
    const bool bracketed = at < text.size() && (text[at] == U'(' || text[at] == U'（');
    if (at == 0 && isOneOf(text[0], kWordsFirst)) {
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
        if (at == text.size() || isBlank(text[at]) || !isLetterOrDigit(text[at])) {
            describeTitle(heading, titleAfter(text, at));
            return heading;
        }
        return std::nullopt;
    }
    if (heading.form == HeadingLine::Form::Bracketed) {
        if (at + 1 == text.size() && (text[at] == U')' || text[at] == U'）')) {
            heading.numberOnly = true;
            return heading;
        }
        return std::nullopt;
    }
    if (at == text.size()) {
        heading.form = numberAt == 0 ? HeadingLine::Form::Bare : HeadingLine::Form::Titled;
        heading.numberOnly = true;
        return heading;
    }
    // A number that is part of a word (一个, 二十年前) is no heading.
    if (text[at] == U'、' && numberAt == 0 && at + 1 < text.size()) {
        heading.form = HeadingLine::Form::Listed;
        describeTitle(heading, text.substr(at + 1));
        return heading;
    }
    // 12. 雨夜, 12．雨夜: digits and a point, not a decimal (1.5 倍).
    if ((text[at] == U'.' || text[at] == U'．') && numberAt == 0 && !heading.chineseNumber &&
        numberLength <= 4 && at + 1 < text.size() && !isDigit(text[at + 1]) &&
        !isOneOf(text[at + 1], U".．")) {
        const std::u32string_view title = trimmed(text.substr(at + 1));
        // Not a file's name: 001.txt.
        if (title.empty() || title.size() > kTitleCharacters ||
            std::all_of(title.begin(), title.end(), [](char32_t c) { return c < 0x80; })) {
            return std::nullopt;
        }
        heading.form = HeadingLine::Form::Listed;
        describeTitle(heading, title);
        return heading;
    }
    heading.form = HeadingLine::Form::Titled;
    // 正文 068一群老友: after 正文, a number of two digits or more needs no blank.
    const bool attached = body && numberLength >= 2 && !heading.chineseNumber && isHan(text[at]);
    if ((isBlank(text[at]) || attached) && numberLength <= 10) {
        const std::u32string_view title = trimmed(text.substr(at));
        // A short title after it (一 远行); after 正文, a longer one, with
        // what a site adds after it, and a title that exclaims.
        if (!title.empty() && title.find(U'。') == std::u32string_view::npos &&
            (body ? title.size() <= kLongestPrefix * 3
                  : title.size() <= 15 && !punctuatedTitle(title))) {
            describeTitle(heading, title);
            heading.punctuated = heading.punctuated && !body;
            return heading;
        }
    }
    return std::nullopt;
}

std::optional<HeadingLine> readCore(std::u32string_view text) {
    // 第 after a prefix; the prefix may hold a 第 of its own (第一梦 春雨 第01章).
    for (std::size_t at = 0; at < text.size() && at <= kLongestPrefix; ++at) {
        if (text[at] != kChapter || !isPrefix(text.substr(0, at))) continue;
        if (std::optional<HeadingLine> heading = readNumbered(text, at)) {
            // 书名_第3章: a site's page of the book, named after it.
            if (at > 0 && isOneOf(text[at - 1], U"_＿")) heading->miss = HeadingLine::Miss::PageMarker;
            return heading;
        }
    }
    if (std::optional<HeadingLine> named = readNamed(text)) return named;
    // A name spaced out to look wide: 前　　言, 后 记.
    if (text.size() <= 12 && std::any_of(text.begin(), text.end(), isBlank)) {
        std::array<char32_t, 12> compact;
        std::size_t count = 0;
        for (char32_t c : text) {
            if (!isBlank(c)) compact[count++] = c;
        }
        if (std::optional<HeadingLine> named = readNamed({compact.data(), count})) return named;
    }
    // The same names after a bracket or a bullet: 【番外】, ●楔子.
    std::size_t start = 0;
    while (start < text.size() && start < 2 && !isLetterOrDigit(text[start]) &&
           text[start] != U'(' && text[start] != U'（') {
        ++start;
    }
    if (start > 0) {
        if (std::optional<HeadingLine> named = readNamed(trimmed(text.substr(start)))) return named;
    }
    if (std::optional<HeadingLine> english = readEnglish(text)) return english;
    return readNumberFirst(text);
}

// 书评一：题目, 案例 12: a word of two or three characters of the book's
// own, a number, and the title after a mark or a blank.
bool readLabeled(std::u32string_view text, HeadingLine& heading) {
    std::size_t at = 0;
    while (at < text.size() && at < 3 && isHan(text[at]) && chineseValue(text[at]) < 0 &&
           text[at] != kChapter) {
        ++at;
    }
    if (at < 2) return false;
    const std::u32string_view label = text.substr(0, at);
    at = skipBlanks(text, at);
    const std::optional<std::uint32_t> number = readNumber(text, at, heading.chineseNumber);
    if (!number || (at < text.size() && !isBlank(text[at]) && !isOneOf(text[at], U"：:、.．"))) {
        return false;
    }
    heading.form = HeadingLine::Form::Labeled;
    // The label's hash stands for its word, above every character's code.
    heading.word = static_cast<char32_t>(0x80000000u | (hashOf(label) & 0x7FFFFFFFu));
    heading.number = *number;
    describeTitle(heading, titleAfter(text, at));
    return true;
}

// 中译本前言, 出版后记, “作品集”新序: a title of the book's own that ends in a
// name of front or back matter.
bool readMatterEnding(std::u32string_view text, HeadingLine& heading) {
    std::uint8_t piece = 0;
    const std::u32string_view title = withoutPartMark(text, piece);
    if (title.size() > 16) return false;
    for (std::u32string_view ending : kMatterEndings) {
        if (title.size() <= ending.size() ||
            title.substr(title.size() - ending.size()) != ending) {
            continue;
        }
        if (ending.size() == 1 && !isOneOf(title[title.size() - 2], kBeforeLoneMatter)) {
            return false;
        }
        heading.form = HeadingLine::Form::Named;
        heading.word = ending.front();
        describeTitle(heading, text);
        return true;
    }
    return false;
}

}  // namespace

std::optional<HeadingLine> readTitle(std::u32string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > HeadingReader::kMaxCharacters || contentsEntry(text)) {
        return std::nullopt;
    }
    std::u32string_view core = undecoratedHeading(text);
    if (core.substr(0, kBodyWord.size()) == kBodyWord) core = trimmed(core.substr(kBodyWord.size()));
    if (core.empty() || core.size() > kTitleCharacters) return std::nullopt;
    // A title may quote a word (“风”的故事) or stand in quotes whole; a line
    // that opens a quote it doesn't close, or opens with one that closes
    // before its end, is somebody's words.
    const auto opened = std::count_if(core.begin(), core.end(), [](char32_t c) {
        return isOneOf(c, U"“「『");
    });
    const auto closed = std::count_if(core.begin(), core.end(), [](char32_t c) {
        return isOneOf(c, U"”」』");
    });
    const bool quotesSpeech = opened != closed ||
                              (isOneOf(core.front(), U"“「『") && opened == 1 &&
                               !isOneOf(core.back(), U"”」』")) ||
                              std::any_of(core.begin(), core.end(),
                                          [](char32_t c) { return isOneOf(c, U"‘’\"'"); });
    if (punctuatedTitle(core) || quotesSpeech) return std::nullopt;
    // A line that introduces what follows (书评：), one without a word, a
    // date (2003年, 12月) and a note (①, ⑵, ㈠).
    std::uint8_t piece = 0;
    const std::u32string_view unmarked = withoutPartMark(core, piece);
    const auto words = std::count_if(unmarked.begin(), unmarked.end(), isHan);
    if (isOneOf(core.back(), U"：:，,、;；") || words == 0 ||
        (words <= 2 && std::any_of(unmarked.begin(), unmarked.end(), isDigit)) ||
        (core.front() >= U'\x2460' && core.front() <= U'\x24FF') ||
        (core.front() >= U'\x3220' && core.front() <= U'\x325F')) {
        return std::nullopt;
    }
    HeadingLine heading;
    if (!readLabeled(core, heading) && !readMatterEnding(core, heading)) {
        heading.form = HeadingLine::Form::Plain;
        describeTitle(heading, core);
    }
    if (core.find(kPageWords) != std::u32string_view::npos) {
        heading.miss = HeadingLine::Miss::PageMarker;
    }
    heading.characters = static_cast<std::uint16_t>(core.size());
    heading.textHash = hashOf(core);
    return heading;
}

bool HeadingLine::volume() const {
    return (form == Form::Numbered && isOneOf(word, kVolumeWords)) ||
           (form == Form::WordFirst && word != U'章');
}

bool holdsSentencePunctuation(std::u32string_view text) {
    return punctuatedTitle(text) || (!text.empty() && isOneOf(text.front(), kQuotes));
}

std::optional<HeadingLine> readHeading(std::u32string_view text) {
    if (text.empty() || text.size() > HeadingReader::kMaxCharacters) return std::nullopt;
    if (const std::optional<std::u32string_view> entry = contentsEntry(text)) {
        std::optional<HeadingLine> heading = readHeading(*entry);
        if (heading) heading->miss = HeadingLine::Miss::ContentsLine;
        return heading;
    }
    const std::u32string_view core = undecoratedHeading(text);
    if (core.empty()) return std::nullopt;
    std::optional<HeadingLine> heading = readCore(core);
    if (heading && (isPageNumber(text) || core.find(kPageWords) != std::u32string_view::npos)) {
        heading->miss = HeadingLine::Miss::PageMarker;
    }
    // Past 40 characters only 第 + number + word, with what a site adds after
    // the title (更新时间 …), and such a line counts only in its sequence.
    if (heading && core.size() > HeadingReader::kMaxHeadingCharacters &&
        heading->form != HeadingLine::Form::Numbered &&
        heading->form != HeadingLine::Form::English) {
        return std::nullopt;
    }
    if (heading) {
        heading->characters = static_cast<std::uint16_t>(core.size());
        heading->textHash = hashOf(core);
    }
    return heading;
}

HeadingReader::HeadingReader(const Codec& codec, std::shared_ptr<const HeadingPattern> pattern)
    : codec_(codec),
      pattern_(std::move(pattern)),
      chapterBytes_(codec.encode(kChapter)),
      characterBytes_(codec.encoding() == Encoding::Gbk ? 2 : codec.longestCharacter()) {
    // Past any blanks, a heading opens with one of these; a prefix before
    // 第, when it has one, with a mark; a decorated one with a symbol.
    std::u32string starts =
        U"第卷章部篇正序楔引尾后番前终附完跋自代後終Cc(（【《[〔「『<〈{●○◆◇■□★☆※·•-=—…_*#~"
        U"＊＃～＝";
    for (char32_t c = U'0'; c <= U'9'; ++c) starts += c;
    for (char32_t c = U'\xFF10'; c <= U'\xFF19'; ++c) starts += c;
    starts += U"零〇一二两三四五六七八九十百千万壹贰叁肆伍陆柒捌玖拾佰仟廿兩萬貳參陸";
    for (char32_t c = 0x2190; c <= 0x2BFF; ++c) {
        if (isDecoration(c)) starts += c;
    }
    for (char32_t c = 0x1F300; c <= 0x1FAFF; c += 0x40) starts += c;  // one a block of 64
    for (char32_t c : starts) {
        const std::string bytes = codec.encode(c);
        if (bytes.empty()) continue;
        const unsigned first = unsigned{static_cast<unsigned char>(bytes[0])} << 8;
        if (bytes.size() == 1) {
            for (unsigned second = 0; second < 0x100; ++second) startBytes_[first | second] = true;
        } else {
            startBytes_[first | static_cast<unsigned char>(bytes[1])] = true;
        }
    }
    for (char32_t blank : {U' ', U'\t', U'\x3000', U'\xA0'}) {
        std::string bytes = codec.encode(blank);
        if (bytes.empty()) continue;
        blankFirstBytes_[static_cast<unsigned char>(bytes[0])] = true;
        blanks_.push_back(std::move(bytes));
    }
    for (std::u32string_view words : kNotesUnderTitle) {
        std::string bytes;
        for (char32_t c : words) bytes += codec.encode(c);
        if (!bytes.empty()) noteFirstBytes_[static_cast<unsigned char>(bytes[0])] = true;
        notesUnderTitle_.push_back(std::move(bytes));
    }
}

// Past its blanks, a heading opens with a character from a short list, or
// holds 第 within its first characters.
bool HeadingReader::mayStartHeading(std::string_view line) const {
    const std::size_t at = line.size() - withoutBlanks(line, true).size();
    if (at >= line.size()) return false;
    const unsigned first = unsigned{static_cast<unsigned char>(line[at])} << 8;
    const unsigned second = at + 1 < line.size() ? static_cast<unsigned char>(line[at + 1]) : 0;
    if (startBytes_[first | second]) return true;
    const std::size_t window = (kLongestPrefix + 1) * characterBytes_;
    return !chapterBytes_.empty() &&
           line.substr(0, window).find(chapterBytes_) != std::string_view::npos;
}

std::string_view HeadingReader::withoutBlanks(std::string_view line, bool frontOnly) const {
    for (bool blank = true; blank && !line.empty() &&
                            blankFirstBytes_[static_cast<unsigned char>(line.front())];) {
        blank = false;
        for (const std::string& bytes : blanks_) {
            if (line.starts_with(bytes)) {
                line.remove_prefix(bytes.size());
                blank = true;
                break;
            }
        }
    }
    for (bool blank = !frontOnly; blank && !line.empty();) {
        blank = false;
        for (const std::string& bytes : blanks_) {
            if (line.ends_with(bytes)) {
                line.remove_suffix(bytes.size());
                blank = true;
                break;
            }
        }
    }
    return line;
}

bool HeadingReader::opensAsNoteUnderTitle(std::string_view line) const {
    line = withoutBlanks(line, true);
    if (line.empty() || !noteFirstBytes_[static_cast<unsigned char>(line.front())]) return false;
    return std::any_of(notesUnderTitle_.begin(), notesUnderTitle_.end(),
                       [line](const std::string& words) { return line.starts_with(words); });
}

std::uint16_t HeadingReader::opening(std::string_view line) const {
    line = withoutBlanks(line, true);
    const unsigned first = line.empty() ? 0 : static_cast<unsigned char>(line[0]);
    const unsigned second = line.size() < 2 ? 0 : static_cast<unsigned char>(line[1]);
    return static_cast<std::uint16_t>(first << 8 | second);
}

std::uint64_t HeadingReader::lineKey(std::string_view line) const {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : withoutBlanks(line, false)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    }
    return hash;
}

std::u32string_view HeadingReader::decoded(std::string_view line, ShortText& text) const {
    std::size_t count = 0;
    for (std::size_t at = 0; at < line.size() && count < text.size();) {
        text[count++] = readingForm(codec_.decode(line, at));
    }
    return trimmed({text.data(), count});
}

std::optional<HeadingLine> HeadingReader::read(std::string_view line) const {
    ShortText text;
    if (pattern_) {
        if (line.size() > kMaxPatternBytes) return std::nullopt;
        if (!pattern_->foundIn(decoded(line, text))) return std::nullopt;
        return HeadingLine{};
    }
    // Cheapest first: the length, then the first character, then the count.
    if (line.size() > kMaxCharacters * characterBytes_ || !mayStartHeading(line) ||
        (line.size() > kMaxCharacters && codec_.countCharacters(line) > kMaxCharacters)) {
        return std::nullopt;
    }
    return readHeading(decoded(line, text));
}

std::optional<HeadingLine> HeadingReader::readTitle(std::string_view line) const {
    if (pattern_ || line.size() > kMaxCharacters * characterBytes_) return std::nullopt;
    // Decoded up to the first mark of a sentence, which most lines that come
    // this far hold: no title does.
    ShortText text;
    std::size_t count = 0;
    for (std::size_t at = 0; at < line.size() && count < text.size();) {
        const char32_t c = codec_.decode(line, at);
        if (c == U'，' || c == U'。' || c == U'；') return std::nullopt;
        text[count++] = readingForm(c);
    }
    return tovane::readTitle(trimmed({text.data(), count}));
}

bool HeadingReader::matches(std::string_view line) const {
    const std::optional<HeadingLine> heading = read(line);
    return heading && !heading->weak() && heading->miss == HeadingLine::Miss::None &&
           (pattern_ || heading->characters <= kMaxHeadingCharacters);
}

}  // namespace tovane
