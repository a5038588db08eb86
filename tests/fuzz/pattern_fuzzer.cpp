// Fuzz target: a user's heading pattern, compiled and searched for in a line,
// against libstdc++'s std::regex (ECMAScript) where both take the pattern.
// Most inputs build the pattern from fragments (escapes, classes, groups,
// quantifiers, stacked ones among them), a byte each up to a 0xFF byte;
// the bytes after it choose the line's characters. An input whose first
// byte has its top bit set is the pattern itself, as UTF-8, to the first
// 0xFF. Whatever the pattern, compiling and searching must end at once.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>

#include "split/split_texts.h"
#include "split/text/codec.h"
#include "split/text/heading_pattern.h"

namespace {

constexpr const char* kFragments[] = {
    "a",     "b",      "第",    "章",      "1",     ".",         "[ab]",      "[^a]",    "\\d",
    "\\D",   "\\w",    "\\W",   "\\s",     "\\S",   "\\b",       "\\B",       "[\\d章]", "[\\w-]",
    "[a-c]", "[^\\s]", "[\\b]", "\\u7B2C", "\\x61", "\\u{7B2C}", "\\t",       "\\.",     "\\-",
    "^",     "$",      "(",     "(?:",     ")",     "|",         "*",         "+",       "?",
    "{1,2}", "{2}",    "{0,}",  "{",       "}",     "]",         "\\cJ",      "\\c",     "(?<n>",
    "\\1",   "(?=",    "x",     "{2,1}",   "\\x4",  "[",         "\\u{1F600}"};
constexpr char32_t kLineCharacters[] = {U'a', U'b', U'x', U'1', U'第', U'章', U' ',  U'\t',
                                        U'_', U'-', U'{', U'}', U'.',  U'A',  U'\n', 0x1F600};

[[noreturn]] void fail(const char* what, const std::string& pattern) {
    std::fprintf(stderr, "pattern_fuzzer: %s for the pattern %s\n", what, pattern.c_str());
    std::abort();
}

// Constructs in which libstdc++ reads ECMAScript otherwise than browsers do;
// the unit tests pin what we do with them. A number of more than nine
// digits (a back-reference or a count) overflows in libstdc++'s reading of it.
bool libstdcxxDeparts(const std::string& pattern) {
    for (const char* construct : {"\\c", "(?<", "\\u{"}) {
        if (pattern.find(construct) != std::string::npos) return true;
    }
    std::size_t digits = 0;
    for (const char c : pattern) {
        digits = c >= '0' && c <= '9' ? digits + 1 : 0;
        if (digits > 9) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string pattern;
    std::size_t at = 0;
    const bool raw = size > 0 && (data[0] & 0x80) != 0;
    for (at = raw ? 1 : 0; at < size && data[at] != 0xFF; ++at) {
        if (raw) {
            pattern += static_cast<char>(data[at]);
        } else {
            pattern += kFragments[data[at] % std::size(kFragments)];
        }
    }
    std::u32string line;
    for (++at; at < size && line.size() < 24; ++at) {
        line += kLineCharacters[data[at] % std::size(kLineCharacters)];
    }
    if (pattern.empty()) return 0;

    tovane::HeadingPattern::Problem reason = tovane::HeadingPattern::Problem::None;
    const auto ours = tovane::HeadingPattern::compile(pattern, reason);
    const std::string problem = tovane::texts::describe(reason);
    if (!ours && problem.empty()) fail("a refusal without a reason", pattern);
    const bool found = ours && ours->foundIn(line);
    if (raw || pattern.size() > 200 || libstdcxxDeparts(pattern)) return 0;

    std::wstring widePattern;
    const std::u32string decoded = tovane::utf8Codec().decodeLine(pattern);
    widePattern.assign(decoded.begin(), decoded.end());
    try {
        const std::wregex theirs(widePattern, std::regex::ECMAScript);
        // What a backtracking matcher can do that ours refuses to.
        if (!ours) {
            if (problem.find("反向引用") != std::string::npos ||
                problem.find("断言") != std::string::npos ||
                problem.find("量词") != std::string::npos ||
                problem.find("太复杂") != std::string::npos) {
                return 0;
            }
            fail("refused what std::regex takes", pattern);
        }
        const std::wstring wideLine(line.begin(), line.end());
        if (std::regex_search(wideLine, theirs) != found) fail("a different answer", pattern);
    } catch (const std::regex_error& error) {
        // std::regex refuses it; ours may take what ECMAScript takes.
        if (error.code() == std::regex_constants::error_complexity ||
            error.code() == std::regex_constants::error_stack) {
            return 0;
        }
    }
    return 0;
}
