#include "split/text/heading_pattern.h"

#include <algorithm>
#include <optional>

#include "split/text/codec.h"

namespace tovane {

namespace {

using Ranges = std::vector<std::pair<char32_t, char32_t>>;
using Step = HeadingPattern::Step;

using Problem = HeadingPattern::Problem;

constexpr char32_t kLastCharacter = 0x10FFFF;
// Bounds that no heading rule comes near, checked before and while parsing,
// so that no pattern can run the parser or the compiler out of stack or time.
constexpr std::size_t kMaxLength = 1000;        // characters of the pattern
constexpr int kMaxDepth = 100;                  // of groups inside groups
constexpr std::uint64_t kMaxWork = 100000;      // nodes the compiler may visit
constexpr std::uint32_t kNoLimit = UINT32_MAX;  // a repeat without an upper count

// The pattern as a tree, before it becomes steps.
struct Node {
    enum class Kind { Empty, Characters, Sequence, Choice, Repeat, LineStart, LineEnd, WordEdge };
    Kind kind = Kind::Empty;
    Ranges ranges;
    bool negated = false;
    std::vector<Node> children;
    std::uint32_t least = 0;
    std::uint32_t most = kNoLimit;
};

Ranges normalised(Ranges ranges) {
    std::sort(ranges.begin(), ranges.end());
    Ranges merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1) {
            merged.back().second = std::max(merged.back().second, range.second);
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

Ranges complement(const Ranges& ranges) {
    Ranges result;
    char32_t from = 0;
    for (const auto& [low, high] : normalised(ranges)) {
        if (low > from) result.emplace_back(from, low - 1);
        from = high + 1;
    }
    if (from <= kLastCharacter) result.emplace_back(from, kLastCharacter);
    return result;
}

const Ranges& digits() {
    static const Ranges value{{U'0', U'9'}};
    return value;
}
const Ranges& wordCharacters() {
    static const Ranges value{{U'0', U'9'}, {U'A', U'Z'}, {U'_', U'_'}, {U'a', U'z'}};
    return value;
}
const Ranges& blanks() {  // ECMAScript's white space and line terminators
    static const Ranges value = normalised({{U'\t', U'\r'},
                                            {U' ', U' '},
                                            {0xA0, 0xA0},
                                            {0x1680, 0x1680},
                                            {0x2000, 0x200A},
                                            {0x2028, 0x2029},
                                            {0x202F, 0x202F},
                                            {0x205F, 0x205F},
                                            {0x3000, 0x3000},
                                            {0xFEFF, 0xFEFF}});
    return value;
}
const Ranges& lineTerminators() {
    static const Ranges value{{U'\n', U'\n'}, {U'\r', U'\r'}, {0x2028, 0x2029}};
    return value;
}

bool inRanges(const Ranges& ranges, char32_t c) {
    for (const auto& [low, high] : ranges) {
        if (c < low) return false;
        if (c <= high) return true;
    }
    return false;
}

bool isWordCharacter(char32_t c) {
    return inRanges(wordCharacters(), c);
}

class Parser {
public:
    explicit Parser(std::u32string_view text) : text_(text) {}

    std::optional<Node> parse(Problem& problem) {
        Node node = choice(0);
        if (problem_ == Problem::None && at_ < text_.size()) problem_ = Problem::Unbalanced;
        problem = problem_;
        if (problem_ != Problem::None) return std::nullopt;
        return node;
    }

private:
    bool more() const { return at_ < text_.size(); }
    char32_t peek() const { return text_[at_]; }
    bool fail(Problem problem) {
        if (problem_ == Problem::None) problem_ = problem;
        at_ = text_.size();
        return false;
    }

    Node choice(int depth) {
        Node first = sequence(depth);
        if (!more() || peek() != U'|') return first;
        Node node;
        node.kind = Node::Kind::Choice;
        node.children.push_back(std::move(first));
        while (more() && peek() == U'|') {
            ++at_;
            node.children.push_back(sequence(depth));
        }
        return node;
    }

    Node sequence(int depth) {
        Node node;
        node.kind = Node::Kind::Sequence;
        while (more() && peek() != U'|' && peek() != U')') {
            std::optional<Node> item = atom(depth);
            if (!item) break;
            quantify(*item);
            node.children.push_back(std::move(*item));
        }
        return node;
    }

    std::optional<Node> atom(int depth) {
        const char32_t c = text_[at_++];
        Node node;
        switch (c) {
            case U'(':
                return group(depth);
            case U'[':
                return characterClass();
            case U'.':
                node.kind = Node::Kind::Characters;
                node.ranges = lineTerminators();
                node.negated = true;
                return node;
            case U'^':
                node.kind = Node::Kind::LineStart;
                return node;
            case U'$':
                node.kind = Node::Kind::LineEnd;
                return node;
            case U'\\':
                return escape(false);
            case U'*':
            case U'+':
            case U'?':
                fail(Problem::NothingToRepeat);
                return std::nullopt;
            case U'{':
                if (counts()) {
                    fail(Problem::NothingToRepeat);
                    return std::nullopt;
                }
                break;
            default:
                break;
        }
        node.kind = Node::Kind::Characters;
        node.ranges = {{c, c}};
        return node;
    }

    std::optional<Node> group(int depth) {
        if (depth >= kMaxDepth) {
            fail(Problem::TooComplex);
            return std::nullopt;
        }
        if (more() && peek() == U'?') {
            const std::u32string_view rest = text_.substr(at_);
            if (rest.substr(0, 2) == U"?:") {
                at_ += 2;
            } else if (rest.substr(0, 2) == U"?=" || rest.substr(0, 2) == U"?!" ||
                       rest.substr(0, 3) == U"?<=" || rest.substr(0, 3) == U"?<!") {
                fail(Problem::Lookaround);
                return std::nullopt;
            } else if (rest.substr(0, 2) == U"?<") {
                const std::size_t close = rest.find(U'>');
                if (close == std::u32string_view::npos ||
                    !takeGroupName(rest.substr(2, close - 2))) {
                    fail(Problem::BadGroupName);
                    return std::nullopt;
                }
                at_ += close + 1;
            } else {
                fail(Problem::BadGroup);
                return std::nullopt;
            }
        }
        Node inner = choice(depth + 1);
        if (!more() || peek() != U')') {
            fail(Problem::Unbalanced);
            return std::nullopt;
        }
        ++at_;
        return inner;
    }

    std::optional<Node> escape(bool inClass) {
        if (!more()) {
            fail(Problem::LoneBackslash);
            return std::nullopt;
        }
        const char32_t c = text_[at_++];
        Node node;
        node.kind = Node::Kind::Characters;
        const auto set = [&](const Ranges& ranges, bool negated) {
            node.ranges = ranges;
            node.negated = negated;
            return node;
        };
        switch (c) {
            case U'd':
                return set(digits(), false);
            case U'D':
                return set(digits(), true);
            case U'w':
                return set(wordCharacters(), false);
            case U'W':
                return set(wordCharacters(), true);
            case U's':
                return set(blanks(), false);
            case U'S':
                return set(blanks(), true);
            case U'b':
            case U'B':
                if (inClass) return set({{U'\b', U'\b'}}, false);
                node.kind = Node::Kind::WordEdge;
                node.negated = c == U'B';
                return node;
            case U't':
                return set({{U'\t', U'\t'}}, false);
            case U'n':
                return set({{U'\n', U'\n'}}, false);
            case U'r':
                return set({{U'\r', U'\r'}}, false);
            case U'f':
                return set({{U'\f', U'\f'}}, false);
            case U'v':
                return set({{U'\v', U'\v'}}, false);
            case U'0':
                if (!more() || peek() < U'0' || peek() > U'9') return set({{0, 0}}, false);
                break;
            case U'x':
            case U'u': {
                const std::optional<char32_t> value = c == U'x' ? hex(2) : codePoint();
                if (!value) return std::nullopt;
                return set({{*value, *value}}, false);
            }
            case U'c':
                if (more() &&
                    ((peek() >= U'a' && peek() <= U'z') || (peek() >= U'A' && peek() <= U'Z'))) {
                    const char32_t control = text_[at_++] % 32;
                    return set({{control, control}}, false);
                }
                fail(Problem::BadControl);
                return std::nullopt;
            case U'k':
                fail(Problem::BackReferenceByName);
                return std::nullopt;
            default:
                break;
        }
        if (c >= U'1' && c <= U'9' && !inClass) {
            fail(Problem::BackReference);
            return std::nullopt;
        }
        if (c >= U'0' && c <= U'9' && c != U'0') return set({{c, c}}, false);
        if (c == U'0') {
            fail(Problem::NulBeforeDigit);
            return std::nullopt;
        }
        return set({{c, c}}, false);  // \. \* \( and the like stand for themselves
    }

    // Exactly `count` hexadecimal digits: \x41, \u7B2C. Fewer are refused, as
    // a browser's strict reading refuses them, rather than matched as a
    // different character.
    std::optional<char32_t> hex(int count) {
        char32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const int digit = more() ? hexDigit(peek()) : -1;
            if (digit < 0) {
                fail(Problem::BadHex);
                return std::nullopt;
            }
            value = value * 16 + static_cast<char32_t>(digit);
            ++at_;
        }
        return value;
    }

    // \u7B2C, or \u{1F600} for a character past the Basic Multilingual Plane.
    std::optional<char32_t> codePoint() {
        if (!more() || peek() != U'{') return hex(4);
        const std::size_t close = text_.find(U'}', at_);
        if (close == std::u32string_view::npos || close == at_ + 1) {
            fail(Problem::BadCodePoint);
            return std::nullopt;
        }
        char32_t value = 0;
        for (std::size_t i = at_ + 1; i < close; ++i) {
            const int digit = hexDigit(text_[i]);
            if (digit < 0) {
                fail(Problem::BadCodePoint);
                return std::nullopt;
            }
            value = value * 16 + static_cast<char32_t>(digit);
            if (value > kLastCharacter) {
                fail(Problem::CodePointTooLarge);
                return std::nullopt;
            }
        }
        at_ = close + 1;
        return value;
    }

    static int hexDigit(char32_t c) {
        return c >= U'0' && c <= U'9'   ? static_cast<int>(c - U'0')
               : c >= U'a' && c <= U'f' ? static_cast<int>(c - U'a' + 10)
               : c >= U'A' && c <= U'F' ? static_cast<int>(c - U'A' + 10)
                                        : -1;
    }

    // A group's name: an identifier (letters, digits after the first, _ and
    // $; Chinese counts as letters), not used before.
    bool takeGroupName(std::u32string_view name) {
        if (name.empty()) return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const char32_t c = name[i];
            const bool letter = (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_' ||
                                c == U'$' || c >= 0x80;
            const bool digit = c >= U'0' && c <= U'9';
            if (!(letter || (digit && i > 0))) return false;
        }
        if (std::find(groupNames_.begin(), groupNames_.end(), name) != groupNames_.end()) {
            return false;
        }
        groupNames_.emplace_back(name);
        return true;
    }

    std::optional<Node> characterClass() {
        Node node;
        node.kind = Node::Kind::Characters;
        if (more() && peek() == U'^') {
            node.negated = true;
            ++at_;
        }
        Ranges ranges;
        while (true) {
            if (!more()) {
                fail(Problem::UnbalancedClass);
                return std::nullopt;
            }
            if (peek() == U']') break;
            const std::optional<Ranges> low = classAtom();
            if (!low) return std::nullopt;
            if (more() && peek() == U'-' && at_ + 1 < text_.size() && text_[at_ + 1] != U']') {
                ++at_;
                const std::optional<Ranges> high = classAtom();
                if (!high) return std::nullopt;
                if (low->size() != 1 || high->size() != 1 ||
                    low->front().first != low->front().second ||
                    high->front().first != high->front().second) {
                    fail(Problem::BadRange);
                    return std::nullopt;
                }
                if (low->front().first > high->front().first) {
                    fail(Problem::RangeOutOfOrder);
                    return std::nullopt;
                }
                ranges.emplace_back(low->front().first, high->front().first);
            } else {
                ranges.insert(ranges.end(), low->begin(), low->end());
            }
        }
        ++at_;
        node.ranges = normalised(ranges);
        return node;
    }

    // One character or a class escape such as \d, as ranges.
    std::optional<Ranges> classAtom() {
        const char32_t c = text_[at_++];
        if (c != U'\\') return Ranges{{c, c}};
        std::optional<Node> escaped = escape(true);
        if (!escaped) return std::nullopt;
        return escaped->negated ? complement(escaped->ranges) : escaped->ranges;
    }

    // A counted quantifier {n}, {n,} or {n,m} at at_ (past its brace), read
    // into least_ and most_ and consumed; otherwise the brace is a character.
    bool counts() {
        std::size_t i = at_;
        const auto number = [&](std::uint32_t& value) {
            const std::size_t start = i;
            std::uint64_t n = 0;
            while (i < text_.size() && text_[i] >= U'0' && text_[i] <= U'9') {
                n = std::min<std::uint64_t>(n * 10 + (text_[i] - U'0'), 100000);
                ++i;
            }
            value = static_cast<std::uint32_t>(n);
            return i > start;
        };
        std::uint32_t least = 0;
        if (!number(least)) return false;
        std::uint32_t most = least;
        if (i < text_.size() && text_[i] == U',') {
            ++i;
            if (!number(most)) most = kNoLimit;
        }
        if (i >= text_.size() || text_[i] != U'}') return false;
        at_ = i + 1;
        least_ = least;
        most_ = most;
        return true;
    }

    // One quantifier, lazy or not, after an item; a second one straight
    // after it (a**, a???, a{2}{3}, x*{2}) repeats nothing and is refused.
    void quantify(Node& item) {
        std::uint32_t least = 0;
        std::uint32_t most = kNoLimit;
        if (!quantifier(least, most)) return;
        if (more() && peek() == U'?') ++at_;  // lazy: the same for telling whether it is found
        if (item.kind == Node::Kind::LineStart || item.kind == Node::Kind::LineEnd ||
            item.kind == Node::Kind::WordEdge) {
            fail(Problem::NothingToRepeat);
            return;
        }
        std::uint32_t again = 0;
        if (quantifier(again, again)) {
            fail(Problem::StackedQuantifiers);
            return;
        }
        Node repeat;
        repeat.kind = Node::Kind::Repeat;
        repeat.least = least;
        repeat.most = most;
        repeat.children.push_back(std::move(item));
        item = std::move(repeat);
    }

    // A quantifier at at_, consumed and read into `least` and `most`; false
    // when there is none (a brace that counts nothing is a character).
    bool quantifier(std::uint32_t& least, std::uint32_t& most) {
        if (!more()) return false;
        switch (peek()) {
            case U'*':
                ++at_;
                least = 0;
                most = kNoLimit;
                return true;
            case U'+':
                ++at_;
                least = 1;
                most = kNoLimit;
                return true;
            case U'?':
                ++at_;
                least = 0;
                most = 1;
                return true;
            case U'{':
                ++at_;
                if (!counts()) {
                    --at_;
                    return false;
                }
                least = least_;
                most = most_;
                if (most < least) fail(Problem::CountsOutOfOrder);
                return true;
            default:
                return false;
        }
    }

    std::u32string_view text_;
    std::size_t at_ = 0;
    Problem problem_ = Problem::None;
    std::vector<std::u32string> groupNames_;
    std::uint32_t least_ = 0;
    std::uint32_t most_ = kNoLimit;
};

// Turns the tree into steps; false when there would be too many.
class Compiler {
public:
    bool compile(const Node& node) {
        if (!emit(node)) return false;
        Step match;
        match.kind = Step::Kind::Match;
        return add(std::move(match));
    }
    std::vector<Step> take() { return std::move(steps_); }

private:
    std::uint32_t here() const { return static_cast<std::uint32_t>(steps_.size()); }
    bool add(Step step) {
        if (steps_.size() >= HeadingPattern::kMaxSteps) return false;
        steps_.push_back(std::move(step));
        return true;
    }
    bool simple(Step::Kind kind, bool negated = false) {
        Step step;
        step.kind = kind;
        step.negated = negated;
        step.next = here() + 1;
        return add(std::move(step));
    }
    // A split or jump whose targets are filled in later.
    bool branch(Step::Kind kind, std::uint32_t& at) {
        at = here();
        Step step;
        step.kind = kind;
        return add(std::move(step));
    }

    bool emit(const Node& node) {
        // Repeats of items that emit nothing would otherwise go on unchecked.
        if (++work_ > kMaxWork) return false;
        switch (node.kind) {
            case Node::Kind::Empty:
                return true;
            case Node::Kind::Characters: {
                Step step;
                step.kind = Step::Kind::Character;
                step.ranges = node.ranges;
                step.negated = node.negated;
                step.next = here() + 1;
                return add(std::move(step));
            }
            case Node::Kind::LineStart:
                return simple(Step::Kind::LineStart);
            case Node::Kind::LineEnd:
                return simple(Step::Kind::LineEnd);
            case Node::Kind::WordEdge:
                return simple(Step::Kind::WordEdge, node.negated);
            case Node::Kind::Sequence:
                for (const Node& child : node.children) {
                    if (!emit(child)) return false;
                }
                return true;
            case Node::Kind::Choice:
                return choice(node.children, 0);
            case Node::Kind::Repeat:
                return repeat(node);
        }
        return false;
    }

    bool choice(const std::vector<Node>& options, std::size_t from) {
        if (from + 1 == options.size()) return emit(options[from]);
        std::uint32_t split = 0;
        std::uint32_t jump = 0;
        if (!branch(Step::Kind::Split, split)) return false;
        steps_[split].next = here();
        if (!emit(options[from]) || !branch(Step::Kind::Jump, jump)) return false;
        steps_[split].other = here();
        if (!choice(options, from + 1)) return false;
        steps_[jump].next = here();
        return true;
    }

    bool repeat(const Node& node) {
        const Node& item = node.children.front();
        for (std::uint32_t i = 0; i < node.least; ++i) {
            if (!emit(item)) return false;
        }
        if (node.most == kNoLimit) {  // any number more
            std::uint32_t split = 0;
            std::uint32_t jump = 0;
            if (!branch(Step::Kind::Split, split)) return false;
            steps_[split].next = here();
            if (!emit(item) || !branch(Step::Kind::Jump, jump)) return false;
            steps_[jump].next = split;
            steps_[split].other = here();
            return true;
        }
        std::vector<std::uint32_t> splits;
        for (std::uint32_t i = node.least; i < node.most; ++i) {
            std::uint32_t split = 0;
            if (!branch(Step::Kind::Split, split)) return false;
            splits.push_back(split);
            steps_[split].next = here();
            if (!emit(item)) return false;
        }
        for (std::uint32_t split : splits) steps_[split].other = here();
        return true;
    }

    std::vector<Step> steps_;
    std::uint64_t work_ = 0;
};

// The set of steps the search stands at, each once, in the order they came.
class StepSet {
public:
    void reset(std::size_t size) {
        if (index_.size() < size) {
            index_.resize(size);
            steps_.resize(size);
        }
        count_ = 0;
    }
    bool contains(std::uint32_t step) const {
        const std::uint32_t i = index_[step];
        return i < count_ && steps_[i] == step;
    }
    void add(std::uint32_t step) {
        index_[step] = count_;
        steps_[count_++] = step;
    }
    std::uint32_t size() const { return count_; }
    std::uint32_t operator[](std::uint32_t i) const { return steps_[i]; }

private:
    std::vector<std::uint32_t> index_;
    std::vector<std::uint32_t> steps_;
    std::uint32_t count_ = 0;
};

}  // namespace

std::shared_ptr<const HeadingPattern> HeadingPattern::compile(const std::string& pattern,
                                                              Problem& problem) {
    std::u32string text;
    for (std::size_t at = 0; at < pattern.size() && text.size() <= kMaxLength;) {
        text += utf8Codec().decode(pattern, at);
    }
    if (text.size() > kMaxLength) {
        problem = Problem::TooLong;
        return nullptr;
    }
    const std::optional<Node> tree = Parser(text).parse(problem);
    if (!tree) return nullptr;
    Compiler compiler;
    if (!compiler.compile(*tree)) {
        problem = Problem::TooComplex;
        return nullptr;
    }
    return std::shared_ptr<const HeadingPattern>(new HeadingPattern(compiler.take()));
}

std::string HeadingPattern::patternOfForm(const std::string& form) {
    static constexpr std::string_view kRegexMarks = "^$[]()\\+?{}|.";
    if (form.find_first_of(kRegexMarks) != std::string::npos) return form;
    std::string pattern = "^\\s*";
    for (char c : form) {
        if (c == '*') {
            pattern += ".*";
        } else {
            pattern += c;
        }
    }
    return pattern;
}

std::shared_ptr<const HeadingPattern> HeadingPattern::compileForm(const std::string& form,
                                                                  Problem& problem) {
    return compile(patternOfForm(form), problem);
}

bool HeadingPattern::foundIn(std::u32string_view line) const {
    // Kept from line to line, so that a search allocates nothing.
    thread_local StepSet now;
    thread_local StepSet next;
    thread_local std::vector<std::uint32_t> pending;
    const std::size_t size = steps_.size();
    now.reset(size);
    next.reset(size);
    pending.clear();
    pending.reserve(size);
    // Follows the steps that read no character from `start`, at `position`,
    // into `set`; true when the pattern is found there.
    const auto follow = [&](StepSet& set, std::uint32_t start, std::size_t position) {
        pending.push_back(start);
        while (!pending.empty()) {
            const std::uint32_t at = pending.back();
            pending.pop_back();
            if (set.contains(at)) continue;
            set.add(at);
            const Step& step = steps_[at];
            switch (step.kind) {
                case Step::Kind::Match:
                    pending.clear();
                    return true;
                case Step::Kind::Character:
                    break;
                case Step::Kind::Jump:
                    pending.push_back(step.next);
                    break;
                case Step::Kind::Split:
                    pending.push_back(step.other);
                    pending.push_back(step.next);
                    break;
                case Step::Kind::LineStart:
                    if (position == 0) pending.push_back(step.next);
                    break;
                case Step::Kind::LineEnd:
                    if (position == line.size()) pending.push_back(step.next);
                    break;
                case Step::Kind::WordEdge: {
                    const bool before = position > 0 && isWordCharacter(line[position - 1]);
                    const bool after = position < line.size() && isWordCharacter(line[position]);
                    if ((before != after) != step.negated) pending.push_back(step.next);
                    break;
                }
            }
        }
        return false;
    };
    for (std::size_t position = 0;; ++position) {
        // The search may begin at any position.
        if (follow(now, 0, position)) return true;
        if (position == line.size()) return false;
        next.reset(size);
        const char32_t c = line[position];
        for (std::uint32_t i = 0; i < now.size(); ++i) {
            const Step& step = steps_[now[i]];
            if (step.kind != Step::Kind::Character || inRanges(step.ranges, c) == step.negated) {
                continue;
            }
            if (follow(next, step.next, position + 1)) return true;
        }
        std::swap(now, next);
    }
}

}  // namespace tovane
