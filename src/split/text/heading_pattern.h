// A user's own rule for chapter headings: a regular expression in the
// ECMAScript syntax, searched for in a line's characters. It is matched by
// running all its possible paths side by side over the line, one character
// at a time, so the work is bounded by the line's length times the size of
// the pattern, whatever the pattern: nothing backtracks. Back-references and
// look-around assertions, which such matching can't do, are refused, and so
// is a pattern too large to match quickly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovane {

class HeadingPattern {
public:
    // The most steps a compiled pattern may have.
    static constexpr std::size_t kMaxSteps = 600;

    // What is wrong with a pattern that doesn't compile.
    enum class Problem : std::uint8_t {
        None,
        TooComplex,
        TooLong,
        Unbalanced,
        UnbalancedClass,
        NothingToRepeat,
        StackedQuantifiers,
        CountsOutOfOrder,
        Lookaround,
        BadGroup,
        BadGroupName,
        BackReferenceByName,
        BackReference,
        LoneBackslash,
        NulBeforeDigit,
        BadHex,
        BadCodePoint,
        CodePointTooLarge,
        BadControl,
        BadRange,
        RangeOutOfOrder,
    };

    // `pattern` (UTF-8) compiled, or nothing with `problem` saying what is wrong.
    static std::shared_ptr<const HeadingPattern> compile(const std::string& pattern,
                                                         Problem& problem);
    // A heading's form as a reader writes it, `*` standing for any text
    // (第*章, *、): a line is a heading when, past its blanks, it opens with
    // the form. Text with any other mark of a regular expression (^ $ [ (
    // + ? { | . or a backslash) is taken as one.
    static std::shared_ptr<const HeadingPattern> compileForm(const std::string& form,
                                                             Problem& problem);
    static std::string patternOfForm(const std::string& form);

    // Whether the pattern is found anywhere in `line`.
    bool foundIn(std::u32string_view line) const;

    // One step of the compiled pattern.
    struct Step {
        enum class Kind : std::uint8_t {
            Character,  // one character in `ranges` (or, `negated`, not in them)
            Split,      // go on at `next` and at `other`
            Jump,       // go on at `next`
            LineStart,  // ^
            LineEnd,    // $
            WordEdge,   // \b, or \B when `negated`
            Match,
        };
        Kind kind = Kind::Match;
        bool negated = false;
        std::uint32_t next = 0;
        std::uint32_t other = 0;
        std::vector<std::pair<char32_t, char32_t>> ranges;  // sorted, inclusive
    };

private:
    explicit HeadingPattern(std::vector<Step> steps) : steps_(std::move(steps)) {}

    std::vector<Step> steps_;  // starts at 0
};

}  // namespace tovane
