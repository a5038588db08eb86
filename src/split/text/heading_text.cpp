#include "split/text/heading_text.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <iterator>
#include <utility>

namespace tovane {

namespace {

// The longest bracketed book title before a heading: 《青云传奇之风雪夜》.
constexpr std::size_t kLongestBookTitle = 30;

}  // namespace

char32_t readingForm(char32_t c) {
    // The words of headings, of front and back matter and of end markers,
    // the numerals, and the words that tell a sentence that mentions a
    // chapter: each traditional character above its simplified twin.
    static constexpr std::u32string_view kTraditional =
        U"丟並亂來個們傳兩冊則劇參後從應戰時會東歸終結給編聲與說節簡紀約續裏裡註話語課請論講謝譯貳"
        U"還這進過釋錄長開陸隊頁題餘萬畢導對為爲記説讀";
    static constexpr std::u32string_view kSimplified =
        U"丢并乱来个们传两册则剧叁后从应战时会东归终结给编声与说节简纪约续里里注话语课请论讲谢译贰"
        U"还这进过释录长开陆队页题余万毕导对为为记说读";
    static_assert(kTraditional.size() == kSimplified.size());
    static const auto sorted = [] {
        std::array<std::pair<char32_t, char32_t>, kTraditional.size()> forms{};
        for (std::size_t i = 0; i < forms.size(); ++i) forms[i] = {kTraditional[i], kSimplified[i]};
        std::sort(forms.begin(), forms.end());
        return forms;
    }();
    // Most characters have no other form: told apart by one bit each.
    static const auto traditional = [] {
        std::bitset<0x10000> bits;
        for (char32_t t : kTraditional) bits[t] = true;
        return bits;
    }();
    if (c < 0x4E00 || c > 0xFFFF || !traditional[c]) return c;
    const auto found = std::lower_bound(sorted.begin(), sorted.end(), std::pair{c, char32_t{0}});
    return found != sorted.end() && found->first == c ? found->second : c;
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\x3000' || c == U'\xA0';
}

std::u32string_view trimmed(std::u32string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isDecoration(char32_t c) {
    return (c >= 0x2190 && c <= 0x21FF) || (c >= 0x2500 && c <= 0x27BF) ||
           (c >= 0x2B00 && c <= 0x2BFF) || (c >= 0x1F300 && c <= 0x1FAFF) ||
           std::u32string_view(U"*#=~-_+|·•…．.～＝＊＃－＿※§¤♂♀°").find(c) !=
               std::u32string_view::npos;
}

std::u32string_view undecoratedHeading(std::u32string_view text) {
    for (std::u32string_view before; before != text;) {
        before = text;
        text = trimmed(text);
        while (!text.empty() && isDecoration(text.front())) text.remove_prefix(1);
        while (!text.empty() && isDecoration(text.back())) text.remove_suffix(1);
        text = trimmed(text);
        if (text.size() >= 2) {
            // A line in 《》 whole names a book or quotes one: it stays as it is.
            const std::size_t open = kOpeningBrackets.find(text.front());
            if (open != std::u32string_view::npos && text.front() != U'《' &&
                text.back() == kClosingBrackets[open] &&
                std::count(text.begin(), text.end(), text.front()) == 1) {
                text = text.substr(1, text.size() - 2);
            }
        }
        if (!text.empty() && text.front() == U'《') {
            const std::size_t close = text.find(U'》');
            if (close != std::u32string_view::npos && close <= kLongestBookTitle + 1 &&
                close + 1 < text.size()) {
                text = text.substr(close + 1);
            }
        }
    }
    return text;
}

}  // namespace tovane
