#include "split/text/heading_text.h"

#include <algorithm>
#include <cstddef>

namespace tovane {

namespace {

// The longest bracketed book title before a heading: 《青云传奇之风雪夜》.
constexpr std::size_t kLongestBookTitle = 30;

}  // namespace

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
