#include "split/chapter_list.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "split/line_source.h"
#include "split/split_texts.h"
#include "split/text/chapter_heading.h"

namespace tovane {

namespace {

// More candidate headings than any book has: a file of them is no book.
constexpr std::size_t kMostCandidates = 1000000;
// Strong headings from this many on make the weak forms the sections of chapters.
constexpr std::size_t kStrongChapters = 3;
// Weak headings this close together, in bytes, are a list, not chapters.
constexpr std::uint64_t kListSpacing = 1000;
// Headings with no text between them, this many in a row, are a table of contents.
constexpr std::size_t kContentsRun = 3;

struct Candidate {
    std::uint64_t offset = 0;
    std::uint64_t line = 0;
    std::uint32_t length = 0;      // bytes of the line
    std::uint32_t textBefore = 0;  // lines with text between the candidate before and this one
    HeadingLine heading;
    bool contents = false;  // in a table of contents
};

bool isEmpty(const LineSource::Line& line, const EncodingFacts& facts) {
    if (line.length == 0) return true;
    if (!line.inView() || line.length > 16) return false;
    const std::string_view bytes = line.view();
    for (std::size_t at = 0; at < bytes.size();) {
        const char32_t c = facts.decode(bytes, at);
        if (c != U' ' && c != U'\t' && c != U'\x3000') return false;
    }
    return true;
}

// Runs of candidates with no text between them make a table of contents.
// Where the numbers of a run start again (第一章 after the contents' last
// entry), the book's own first chapter follows the contents at once.
void markContents(std::vector<Candidate>& candidates) {
    const auto startsAgain = [&](std::size_t i) {
        const HeadingLine& before = candidates[i - 1].heading;
        const HeadingLine& now = candidates[i].heading;
        return now.form == before.form && now.word == before.word && now.number <= before.number;
    };
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= candidates.size(); ++i) {
        if (i < candidates.size() && candidates[i].textBefore == 0 && !startsAgain(i)) continue;
        if (i - runStart >= kContentsRun) {
            for (std::size_t k = runStart; k < i; ++k) candidates[k].contents = true;
        }
        runStart = i;
    }
}

// The weak headings of one form that run in sequence: each number one more
// than the one before, a run starting anywhere (again at 1 for a new
// volume). A number that continues no run starts one of its own, so that a
// stray 一 in a poem leaves the book's own run going. Short runs, and runs
// so dense that they are a list, don't count.
void acceptSequences(const std::vector<Candidate>& candidates,
                     const std::vector<std::size_t>& ofOneForm, std::vector<bool>& accepted) {
    std::vector<std::vector<std::size_t>> runs;
    std::multimap<std::uint32_t, std::size_t> waitingFor;  // the next number a run takes -> run
    for (std::size_t index : ofOneForm) {
        const std::uint32_t number = candidates[index].heading.number;
        const auto waiting = waitingFor.find(number);
        std::size_t run = runs.size();
        if (waiting != waitingFor.end()) {
            run = waiting->second;
            waitingFor.erase(waiting);
        } else {
            runs.emplace_back();
        }
        runs[run].push_back(index);
        waitingFor.emplace(number + 1, run);
    }
    const bool volumes = !ofOneForm.empty() &&
                         candidates[ofOneForm.front()].heading.form == HeadingLine::Form::WordFirst;
    for (const std::vector<std::size_t>& run : runs) {
        if (run.size() < (volumes ? 2u : 3u)) continue;
        std::vector<std::uint64_t> spacing;
        for (std::size_t k = 1; k < run.size(); ++k) {
            spacing.push_back(candidates[run[k]].offset - candidates[run[k - 1]].offset);
        }
        const auto middle = spacing.begin() + static_cast<std::ptrdiff_t>(spacing.size() / 2);
        std::nth_element(spacing.begin(), middle, spacing.end());
        if (*middle < kListSpacing) continue;
        for (std::size_t k : run) accepted[k] = true;
    }
}

// Which candidates are chapter headings.
std::vector<bool> decide(std::vector<Candidate>& candidates) {
    markContents(candidates);
    std::vector<bool> accepted(candidates.size(), false);
    // Strong headings count on their own; one with the word and number of the
    // one before (第一章(1), 第一章(2)) is a section of that chapter.
    std::map<char32_t, std::uint32_t> lastNumber;
    std::size_t strongChapters = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& candidate = candidates[i];
        if (candidate.contents || candidate.heading.weak()) continue;
        const HeadingLine& heading = candidate.heading;
        if (heading.form == HeadingLine::Form::Numbered) {
            const auto last = lastNumber.find(heading.word);
            if (last != lastNumber.end() && last->second == heading.number) continue;
            lastNumber[heading.word] = heading.number;
        }
        accepted[i] = true;
        if (heading.form != HeadingLine::Form::Named && !heading.volume()) ++strongChapters;
    }
    // Weak headings, by form: with chapters of their own, a book's weak
    // headings are sections of chapters; only its volumes (卷一) still count.
    std::map<std::tuple<HeadingLine::Form, char32_t, bool>, std::vector<std::size_t>> forms;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const HeadingLine& heading = candidates[i].heading;
        if (candidates[i].contents || !heading.weak()) continue;
        if (strongChapters >= kStrongChapters && !heading.volume()) continue;
        forms[{heading.form, heading.word, heading.chineseNumber}].push_back(i);
    }
    for (const auto& [form, ofOneForm] : forms) acceptSequences(candidates, ofOneForm, accepted);
    return accepted;
}

// The heading's own words, for a list to show: UTF-8, blanks at its ends left off.
std::string textOf(LineSource& source, const Candidate& candidate) {
    std::string bytes(candidate.length, '\0');
    const std::int64_t got = source.readAt(candidate.offset, bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    std::u32string_view text;
    const std::u32string decoded = decodeLine(bytes, source.encoding());
    text = decoded;
    const auto blank = [](char32_t c) { return c == U' ' || c == U'\t' || c == U'\x3000'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    std::string utf8;
    for (char32_t c : text) utf8 += encodeCharacter(c, TextEncoding::Utf8);
    return utf8;
}

}  // namespace

ChapterList findChapters(const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern, bool withText,
                         const std::atomic<bool>* stopRequested) {
    ChapterList list;
    LineSource source(
        sourcePath, {}, [] { return true; }, {}, stopRequested);
    if (!source.open()) {
        list.result = ChapterList::Result::Failed;
        list.message = texts::cannotRead(sourcePath, source.error());
        return list;
    }
    const ChapterHeading rule(source.encoding(), pattern);
    std::vector<Candidate> candidates;
    std::uint64_t lineNumber = 0;
    std::uint32_t textBefore = 0;
    LineSource::Line line;
    while (source.next(line)) {
        ++lineNumber;
        if (line.inView()) {
            if (std::optional<HeadingLine> heading = rule.read(line.view())) {
                if (candidates.size() == kMostCandidates) {
                    list.result = ChapterList::Result::Failed;
                    list.message = std::string(texts::kTooManyHeadings);
                    return list;
                }
                candidates.push_back({line.offset, lineNumber,
                                      static_cast<std::uint32_t>(line.length), textBefore, *heading,
                                      false});
                textBefore = 0;
                continue;
            }
        }
        if (!isEmpty(line, source.facts()))
            textBefore = std::min<std::uint32_t>(textBefore + 1, 1000);
        if ((lineNumber & 0xFFF) == 0 && stopRequested != nullptr && stopRequested->load()) {
            list.result = ChapterList::Result::Stopped;
            return list;
        }
    }
    switch (source.trouble()) {
        case LineSource::Trouble::None:
        case LineSource::Trouble::Refused:
            break;
        case LineSource::Trouble::Stopped:
            list.result = ChapterList::Result::Stopped;
            return list;
        case LineSource::Trouble::Read:
        case LineSource::Trouble::Changed:
            list.result = ChapterList::Result::Failed;
            list.message = texts::cannotRead(sourcePath, source.error());
            return list;
    }
    // A user's pattern says itself which lines are headings.
    const std::vector<bool> accepted =
        pattern ? std::vector<bool>(candidates.size(), true) : decide(candidates);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!accepted[i]) continue;
        Chapter chapter{candidates[i].offset, candidates[i].line, {}};
        if (withText) chapter.text = textOf(source, candidates[i]);
        list.chapters.push_back(std::move(chapter));
    }
    return list;
}

}  // namespace tovane
