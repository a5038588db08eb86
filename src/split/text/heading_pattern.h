// A user's own rule for chapter headings: a regular expression searched for
// in a line's characters, compiled once when the user gives it.
#pragma once

#include <memory>
#include <regex>
#include <string>
#include <string_view>

namespace tovane {

class HeadingPattern {
public:
    // `pattern` (UTF-8) compiled, or nothing with `problem` saying what is wrong.
    static std::shared_ptr<const HeadingPattern> compile(const std::string& pattern,
                                                         std::string& problem);

    // Whether the pattern is found anywhere in `line`.
    bool foundIn(std::u32string_view line) const;

private:
    explicit HeadingPattern(std::wregex expression) : expression_(std::move(expression)) {}

    std::wregex expression_;
};

}  // namespace tovane
