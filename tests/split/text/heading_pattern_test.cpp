// A user's heading pattern: the same answers as a backtracking matcher where
// both can answer, bounded work where a backtracking one would never end,
// and a clear refusal of what can't be matched that way.
#include "split/text/heading_pattern.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "split/split_texts.h"

namespace tovane {
namespace {

std::shared_ptr<const HeadingPattern> compiled(const std::string& pattern) {
    HeadingPattern::Problem problem = HeadingPattern::Problem::None;
    auto result = HeadingPattern::compile(pattern, problem);
    EXPECT_TRUE(result) << pattern << ": " << texts::describe(problem);
    return result;
}

// What the user is told of a pattern that doesn't compile.
std::string problemWith(const std::string& pattern) {
    HeadingPattern::Problem problem = HeadingPattern::Problem::None;
    EXPECT_FALSE(HeadingPattern::compile(pattern, problem)) << pattern;
    return texts::describe(problem);
}

// Random patterns over a small alphabet, from constructs both matchers know.
std::string randomPattern(std::mt19937& rng, int depth) {
    static const char* const atoms[] = {"a",    "b",   "第", "章",      ".",   "[ab]",
                                        "[^a]", "\\d", "1",  "[0-9章]", "\\s", " "};
    static const char* const quantifiers[] = {"", "", "", "*", "+", "?", "{1,2}", "{2}", "{0,}"};
    std::string pattern;
    const int items = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < items; ++i) {
        const auto roll = static_cast<unsigned>(rng() % 10);
        if (roll == 0 && depth < 3) {
            pattern +=
                "(" + randomPattern(rng, depth + 1) + "|" + randomPattern(rng, depth + 1) + ")";
        } else if (roll == 1 && depth < 3) {
            pattern += "(?:" + randomPattern(rng, depth + 1) + ")";
        } else {
            pattern += atoms[rng() % std::size(atoms)];
        }
        pattern += quantifiers[rng() % std::size(quantifiers)];
    }
    if (depth == 0 && rng() % 4 == 0) pattern = "^" + pattern;
    if (depth == 0 && rng() % 4 == 0) pattern += "$";
    return pattern;
}

std::wstring wide(const std::u32string& text) {
    return {text.begin(), text.end()};
}

TEST(HeadingPattern, FindsWhatABacktrackingMatcherFinds) {
    std::mt19937 rng(20261208);
    const char32_t alphabet[] = {U'a', U'b', U'第', U'章', U'1', U' '};
    for (int round = 0; round < 1500; ++round) {
        const std::string pattern = randomPattern(rng, 0);
        const auto ours = compiled(pattern);
        ASSERT_TRUE(ours);
        std::wstring widePattern;
        {
            std::u32string text;
            for (std::size_t at = 0; at < pattern.size();) {
                const auto c = static_cast<unsigned char>(pattern[at]);
                const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                char32_t value = length == 1 ? c : c & (0x7Fu >> length);
                for (std::size_t k = 1; k < length; ++k) {
                    value = value << 6 | (static_cast<unsigned char>(pattern[at + k]) & 0x3Fu);
                }
                text += value;
                at += length;
            }
            widePattern = wide(text);
        }
        const std::wregex theirs(widePattern, std::regex::ECMAScript);
        for (int k = 0; k < 8; ++k) {
            std::u32string line;
            const std::size_t length = rng() % 9;
            for (std::size_t i = 0; i < length; ++i) line += alphabet[rng() % std::size(alphabet)];
            ASSERT_EQ(ours->foundIn(line), std::regex_search(wide(line), theirs))
                << "pattern " << pattern << " line of " << line.size();
        }
    }
}

TEST(HeadingPattern, PatternsThatMakeBacktrackingExplodeEndAtOnce) {
    const std::u32string xs(5000, U'x');
    EXPECT_FALSE(compiled("(x+x+)+y")->foundIn(xs));
    EXPECT_FALSE(compiled("(a|a)*b")->foundIn(std::u32string(5000, U'a')));
    EXPECT_TRUE(compiled("(.*)*Z|^第\\d+章")->foundIn(U"第12章 夜"));
    EXPECT_FALSE(compiled("(.*)*Z|^第\\d+章")->foundIn(xs));
}

TEST(HeadingPattern, SyntaxOfEcmaScriptAsHeadingsUseIt) {
    EXPECT_TRUE(compiled("^【.+】$")->foundIn(U"【第一部分】"));
    EXPECT_FALSE(compiled("^【.+】$")->foundIn(U"【】"));
    EXPECT_TRUE(
        compiled("^\\s*第[一二三四五六七八九十百]+[章回]")->foundIn(U"\u3000第十二回 下山"));
    EXPECT_TRUE(compiled("\\bChapter\\b")->foundIn(U"Chapter 3"));
    EXPECT_FALSE(compiled("\\bChapter\\b")->foundIn(U"Chapters"));
    EXPECT_TRUE(compiled("\\u7B2C\\x31")->foundIn(U"第1"));
    EXPECT_TRUE(compiled("第{")->foundIn(U"第{"));  // a brace that counts nothing is a character
    EXPECT_TRUE(compiled("^(?<word>卷)\\S")->foundIn(U"卷一"));
    EXPECT_TRUE(compiled("a{2,3}?$")->foundIn(U"baa"));
}

TEST(HeadingPattern, WhatCantBeMatchedWithoutBacktrackingIsRefusedClearly) {
    EXPECT_NE(problemWith("第(一"), "");
    EXPECT_NE(problemWith("[第"), "");
    EXPECT_NE(problemWith("*第"), "");
    EXPECT_NE(problemWith("a{3,1}"), "");
    EXPECT_NE(problemWith("第\\"), "");
    EXPECT_NE(problemWith("(a)\\1").find("反向引用"), std::string::npos);
    EXPECT_NE(problemWith("第(?=一)").find("断言"), std::string::npos);
    EXPECT_EQ(problemWith("(a{100}){100}"), "标题规则太复杂");
    EXPECT_EQ(problemWith(std::string(500, '(') + std::string(500, ')')), "标题规则太复杂");
}

// Where std::regex departs from ECMAScript as browsers read it (stacked
// quantifiers, \c, named groups), these pin what we do; escapes must match
// what they say or be refused, never match something else.
TEST(HeadingPattern, EscapesAndGroupsAsBrowsersReadThemOrRefused) {
    EXPECT_TRUE(compiled("\\x41}")->foundIn(U"A}"));
    EXPECT_FALSE(compiled("\\x41}")->foundIn(U"A"));
    EXPECT_TRUE(compiled("^\\u0041}$")->foundIn(U"A}"));
    EXPECT_TRUE(compiled("\\u{1F600}")->foundIn(U"\U0001F600"));
    EXPECT_TRUE(compiled("\\cJ")->foundIn(U"\n"));
    EXPECT_TRUE(compiled("(?<卷>卷)(?<n_1>一)")->foundIn(U"卷一"));
    for (const char* refused : {"\\c1", "a\\c", "[\\c1]", "\\x", "\\u", "\\x4", "\\u004", "\\u{}",
                                "\\u{110000}", "(?<>a)", "(?<n>a)(?<n>b)", "(?<1n>a)"}) {
        EXPECT_NE(problemWith(refused), "") << refused;
    }
}

TEST(HeadingPattern, StackedQuantifiersAndRunawayPatternsAreRefusedAtOnce) {
    for (const char* stacked : {"a**", "a???", "a{2}{3}", "x*{2}", "a+?+", "(a)*+"}) {
        EXPECT_NE(problemWith(stacked).find("量词"), std::string::npos) << stacked;
    }
    EXPECT_TRUE(compiled("a*?{")->foundIn(U"{"));  // a brace that counts nothing is a character
    EXPECT_NE(problemWith("a" + std::string(60000, '+')), "");
    EXPECT_NE(problemWith(std::string(1001, 'a')).find("太长"), std::string::npos);
    EXPECT_EQ(problemWith("(((){99999}){99999}){99999}"), "标题规则太复杂");
    EXPECT_EQ(problemWith(std::string(300, '(') + std::string(300, ')')), "标题规则太复杂");
}

}  // namespace
}  // namespace tovane
