#include "split/text/heading_pattern.h"

#include "split/text/text_encoding.h"

namespace tovane {

namespace {

std::wstring wide(std::u32string_view text) {
    std::wstring result;
    for (char32_t c : text) {
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                c -= 0x10000;
                result += static_cast<wchar_t>(0xD800 + (c >> 10));
                result += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
                continue;
            }
        }
        result += static_cast<wchar_t>(c);
    }
    return result;
}

std::u32string decodeUtf8(std::string_view text) {
    std::u32string result;
    for (std::size_t at = 0; at < text.size();) result += decodeUtf8Character(text, at);
    return result;
}

}  // namespace

std::shared_ptr<const HeadingPattern> HeadingPattern::compile(const std::string& pattern,
                                                              std::string& problem) {
    try {
        std::wregex expression(wide(decodeUtf8(pattern)), std::regex::ECMAScript);
        return std::shared_ptr<const HeadingPattern>(new HeadingPattern(std::move(expression)));
    } catch (const std::regex_error& error) {
        problem = error.what();
    }
    return nullptr;
}

bool HeadingPattern::foundIn(std::u32string_view line) const {
    return std::regex_search(wide(line), expression_);
}

}  // namespace tovane
