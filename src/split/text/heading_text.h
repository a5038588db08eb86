// The blanks and decoration a book sets around the words of a heading, so
// that the heading reader and the names of parts see the same words: blanks
// at the ends, bullets and symbols (◆ ★ ●), brackets around the whole line,
// a bracketed book title before it.
#pragma once

#include <string_view>

namespace tovane {

// Space, tab, the ideographic space and the no-break space; and `text`
// without them at its ends.
bool isBlank(char32_t c);
std::u32string_view trimmed(std::u32string_view text);

// Bullets, stars, rules and the like that decorate a heading.
bool isDecoration(char32_t c);

// The brackets a heading may stand in, each closing one at the place of its
// opening one.
inline constexpr std::u32string_view kOpeningBrackets = U"【[〔「『（(<〈《{";
inline constexpr std::u32string_view kClosingBrackets = U"】]〕」』）)>〉》}";

// The simplified form of a traditional character that headings are read by
// (節 → 节, 後記 → 后记, 貳 → 贰 …), so that a book in traditional
// characters is read as its simplified twin is; any other character as it is.
char32_t readingForm(char32_t c);

// A heading without what decorates it: symbols at its ends, brackets around
// all of it, a bracketed book title of up to 30 characters before it.
std::u32string_view undecoratedHeading(std::u32string_view text);

}  // namespace tovane
