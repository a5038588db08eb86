#include "split/chapters/book_structure.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "split/chapters/key_places.h"
#include "split/chapters/structure_thresholds.h"

namespace tovane {

namespace {

using namespace structure_thresholds;

// Not yet decided.
constexpr std::uint8_t kOpen = 0xFF;

// Headings of one word and form number one sequence.
struct GroupKey {
    HeadingLine::Form form;
    char32_t word;
    bool chinese;
    bool operator==(const GroupKey&) const = default;
    auto operator<=>(const GroupKey&) const = default;
};

GroupKey keyOf(const HeadingLine& heading) {
    switch (heading.form) {
        case HeadingLine::Form::Numbered:
        case HeadingLine::Form::Named:
        case HeadingLine::Form::English:
        case HeadingLine::Form::WordFirst:
        case HeadingLine::Form::Labeled:
            return {heading.form, heading.word, false};
        default:
            return {heading.form, 0, heading.chineseNumber};
    }
}

bool weakForm(HeadingLine::Form form) {
    return form >= HeadingLine::Form::WordFirst && form != HeadingLine::Form::Plain;
}
bool strongForm(HeadingLine::Form form) {
    return form == HeadingLine::Form::Numbered || form == HeadingLine::Form::English;
}
bool numberedForm(HeadingLine::Form form) {
    return form != HeadingLine::Form::Named && form != HeadingLine::Form::Plain;
}

bool isVolumeGroup(const GroupKey& key) {
    HeadingLine probe;
    probe.form = key.form;
    probe.word = key.word;
    return probe.volume();
}

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    return (a ^ (b + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2))) * 0xff51afd7ed558ccdull;
}
std::uint64_t hashOf(const GroupKey& key, std::uint64_t number, std::uint64_t title) {
    return mix(mix(mix(static_cast<std::uint64_t>(key.form) << 40 | key.word, key.chinese),
                   number),
               title);
}

// A heading number on a candidate: its own, or the second of a line that
// holds two (第一卷 第一章).
struct Entry {
    std::uint32_t candidate;  // a book has at most a million
    GroupKey key;
    std::uint32_t number;
    bool inner;
    std::uint32_t run = 0;
    bool accepted = false;
};

struct Stopped {};

class Reader {
public:
    Reader(const Candidates& candidates, const BookMeasures& measures,
           const std::atomic<bool>* stopRequested)
        : c_(candidates),
          m_(measures),
          stop_(stopRequested),
          verdict_(candidates.size(), kOpen) {}

    BookStructure read() {
        BookStructure structure;
        try {
            markMisses();
            markRepeats();
            markContents();
            markRunningHeaders();
            collectEntries();
            acceptSequences();
            acceptTitles();
            markPieces();
            markSections();
            markSameBlocks();
            structure = blocks();
        } catch (const Stopped&) {
            structure = {};
            structure.stopped = true;
            return structure;
        }
        structure.verdicts.reserve(c_.size());
        for (std::uint8_t v : verdict_) {
            structure.verdicts.push_back(v == kOpen ? HeadingReason::Citation
                                                    : static_cast<HeadingReason>(v));
        }
        return structure;
    }

private:
    // Called in every loop: a stop asked for ends the reading within a few
    // thousand steps.
    void tick() {
        if ((++ticks_ & 0xFFF) == 0 && stop_ != nullptr && stop_->load()) throw Stopped{};
    }

    bool open(std::size_t i) const { return verdict_[i] == kOpen; }
    void mark(std::size_t i, HeadingReason reason) {
        verdict_[i] = static_cast<std::uint8_t>(reason);
    }
    bool is(std::size_t i, HeadingReason reason) const {
        return verdict_[i] == static_cast<std::uint8_t>(reason);
    }
    bool taken(std::size_t i) const {
        return verdict_[i] != kOpen && isTaken(static_cast<HeadingReason>(verdict_[i]));
    }

    // Only blank lines, or a line or two of a site's banner, since the candidate before.
    bool closeAfterPrevious(std::size_t i) const {
        return c_[i].linesBetween <= kBannerLines && c_[i].longestBetween <= m_.shortLineBytes;
    }

    // A heading on a line of its own: short, no sentence in it, and set off
    // from the text by blank lines or by the length of the lines around it.
    bool standsAlone(std::size_t i) const {
        const Candidate& c = c_[i];
        if (c.heading.punctuated || c.heading.characters > kTitleCharacters) return false;
        const auto setOff = [](const LineNote& note) {
            return !note.exists || note.candidate || note.longText;
        };
        return c.blanksBefore > 0 || c.blanksAfter > 0 || setOff(c.previous) || setOff(c.next);
    }

    // In a book wrapped at a width, a numbered line nearly as long as the
    // others (digits take less room) with the text running on under it
    // opens a paragraph: right under it, or after one blank line where a
    // page ended, when nothing sets the line off before it.
    bool paragraphStart(std::size_t i) const {
        const Candidate& c = c_[i];
        return m_.wrapBytes != 0 && c.length + kWrapSlack * m_.shortLineBytes / 40 >= m_.wrapBytes &&
               (c.blanksAfter == 0 || (c.blanksAfter == 1 && c.blanksBefore == 0)) &&
               c.next.exists && !c.next.candidate;
    }

    // Lines that read as headings but say themselves they are none.
    void markMisses() {
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            switch (c_[i].heading.miss) {
                case HeadingLine::Miss::None:
                    break;
                case HeadingLine::Miss::EndMarker:
                    mark(i, HeadingReason::EndMarker);
                    break;
                case HeadingLine::Miss::ContentsLine:
                    mark(i, HeadingReason::Contents);
                    break;
                case HeadingLine::Miss::PageMarker:
                    mark(i, HeadingReason::PageMarker);
                    break;
            }
        }
    }

    // The same heading again a few lines on (a site prints it twice), or
    // the same number of the same form right after a number alone (第一回
    // and, on the next line, 第一回 甄士隐…), is the heading before.
    void markRepeats() {
        // The last candidate that is no repeat, and the last such numbered
        // one: a title line between a heading and its copy (a site's banner)
        // stands between them as a line of text would.
        struct Last {
            std::size_t at = SIZE_MAX;
            std::uint32_t lines = 0;  // lines with text since, banners among them
            bool close = false;       // none of them longer than a banner's
        } any, numbered;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            if (!open(i)) continue;
            const Candidate& c = c_[i];
            const HeadingLine& now = c.heading;
            for (Last* last : {&any, &numbered}) {
                last->lines += c.linesBetween;
                last->close = last->close && c.longestBetween <= m_.shortLineBytes;
            }
            Last& last = numberedForm(now.form) ? numbered : any;
            if (last.at != SIZE_MAX && last.close && last.lines <= kBannerLines) {
                const HeadingLine& then = c_[last.at].heading;
                const bool sameText = now.textHash != 0 && now.textHash == then.textHash;
                // The same number of the same form right after, where one is a
                // number alone or both have the same title (书名--第二章 风起
                // above 第二章 风起).
                const bool sameNumber =
                    numberedForm(now.form) && keyOf(now) == keyOf(then) &&
                    now.number == then.number && last.lines == 0 &&
                    (then.numberOnly || now.numberOnly ||
                     (now.titleHash != 0 && now.titleHash == then.titleHash && now.piece == 0));
                if (sameText || sameNumber) {
                    mark(i, HeadingReason::Repeat);
                    any.lines += 1;  // the copy is a line between for what follows
                    continue;
                }
            }
            any = {i, 0, true};
            if (numberedForm(now.form)) {
                numbered = {i, 0, true};
            } else {
                numbered.lines += 1;
            }
        }
    }

    // A heading printed again and again above the pieces of its part,
    // with no other of its form between: 第一部分 above 1.风, 2.雨 ….
    void markRunningHeaders() {
        std::unordered_map<std::uint64_t, std::size_t> lastOfGroup;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            const HeadingLine& h = c_[i].heading;
            if (!open(i) || !numberedForm(h.form)) continue;
            const std::uint64_t group = hashOf(keyOf(h), 0, 0);
            const auto last = lastOfGroup.find(group);
            if (last != lastOfGroup.end() && c_[last->second].heading.textHash == h.textHash &&
                h.numberOnly) {
                mark(i, HeadingReason::RunningHeader);
                continue;
            }
            lastOfGroup[group] = i;
        }
    }

    // What makes two headings the same entry: the form, the number and the
    // title; a number alone stands for any title.
    std::uint64_t exactKey(const HeadingLine& h) const {
        return h.form == HeadingLine::Form::Plain ? mix(h.textHash, 7)
                                                  : hashOf(keyOf(h), h.number, h.titleHash);
    }
    std::uint64_t numberKey(const HeadingLine& h) const { return hashOf(keyOf(h), h.number, 1); }
    std::uint64_t headKey(const HeadingLine& h) const {
        return hashOf(keyOf(h), h.number, mix(h.titleHeadHash, 3));
    }

    // Runs of headings with little between them whose headings come back
    // later are a table of contents: the run up to where its first entry
    // comes back, and of that, up to its last entry that comes back (the
    // book's own first chapter right after it doesn't). A run at the end
    // whose headings came before is one too, from its first such entry on.
    void markContents() {
        // Where each entry's key is first and last found among the open
        // candidates: by its number and title, as a number alone, by its
        // number whatever its title, by the first letters of its title.
        KeyPlaces places;
        const auto exact = [this](const HeadingLine& h) { return exactKey(h); };
        const auto alone = [this](const HeadingLine& h) { return mix(numberKey(h), 11); };
        const auto anyTitle = [this](const HeadingLine& h) { return numberKey(h); };
        const auto head = [this](const HeadingLine& h) { return headKey(h); };
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            if (!open(i)) continue;
            const HeadingLine& h = c_[i].heading;
            const auto place = static_cast<std::uint32_t>(i);
            places.see(exact(h), place);
            if (h.form == HeadingLine::Form::Plain) continue;
            if (h.numberOnly) places.see(alone(h), place);
            places.see(anyTitle(h), place);
            if (h.titleHeadHash != 0) places.see(head(h), place);
        }
        const auto lastFrom = [&](std::uint64_t key, std::size_t from) {
            const std::uint32_t last = places.last(key);
            return last != KeyPlaces::kNowhere && last >= from;
        };
        const auto firstBefore = [&](std::uint64_t key, std::size_t until) {
            return places.first(key) < until;  // kNowhere is past every candidate
        };
        // Whether the entry at `i` is listed again from `from` on.
        const auto comesBack = [&](std::size_t i, std::size_t from) {
            const HeadingLine& h = c_[i].heading;
            if (lastFrom(exact(h), from)) return true;
            if (h.form == HeadingLine::Form::Plain) return false;
            return lastFrom(alone(h), from) || (h.numberOnly && lastFrom(anyTitle(h), from)) ||
                   (h.titleHeadHash != 0 && lastFrom(head(h), from));
        };
        const auto cameBefore = [&](std::size_t i, std::size_t until) {
            const HeadingLine& h = c_[i].heading;
            if (firstBefore(exact(h), until)) return true;
            if (h.form == HeadingLine::Form::Plain) return false;
            return firstBefore(alone(h), until) ||
                   (h.numberOnly && firstBefore(anyTitle(h), until));
        };
        const auto printedOften = [&](std::size_t i) {
            return places.count(exact(c_[i].heading)) > kMostRepeated + 1;
        };
        // A summary under an entry is a line or two, shorter than the book's paragraphs.
        // The lines since the open candidate before: a line that reads as a
        // heading but says it is none (an end marker) is one of them.
        std::vector<std::uint32_t> lines(c_.size(), 0);
        std::vector<std::uint32_t> longest(c_.size(), 0);
        for (std::size_t i = 0, since = 0, widest = 0; i < c_.size(); ++i) {
            since += c_[i].linesBetween;
            widest = std::max<std::size_t>(widest, c_[i].longestBetween);
            lines[i] = static_cast<std::uint32_t>(std::min<std::size_t>(since, UINT32_MAX));
            longest[i] = static_cast<std::uint32_t>(widest);
            if (open(i)) {
                since = 0;
                widest = 0;
            } else {
                ++since;
                widest = std::max<std::size_t>(widest, c_[i].length);
            }
        }
        const auto dense = [&](std::size_t i) {
            return lines[i] <= kContentsLinesBetween && longest[i] <= m_.shortLineBytes * 3 / 2;
        };
        // Where the run from each candidate ends, and the lines before the
        // open candidates up to each: measured once, as the runs are read
        // from front to back and marking one leaves those after it as they were.
        std::vector<std::size_t> nextStrong(c_.size() + 1, c_.size());
        for (std::size_t i = c_.size(); i-- > 0;) {
            nextStrong[i] = open(i) && strongForm(c_[i].heading.form) ? i : nextStrong[i + 1];
        }
        std::vector<std::size_t> runEnd(c_.size() + 1, c_.size());
        for (std::size_t i = c_.size(); i-- > 1;) {
            tick();
            runEnd[i - 1] = open(i) && !dense(i) ? i : runEnd[i];
        }
        linesUpToOpen_.assign(c_.size() + 1, {0, 0});
        for (std::size_t i = 0; i < c_.size(); ++i) {
            linesUpToOpen_[i + 1] = linesUpToOpen_[i];
            if (open(i)) {
                linesUpToOpen_[i + 1].first += c_[i].linesBetween;
                ++linesUpToOpen_[i + 1].second;
            }
        }
        std::unordered_set<std::uint64_t> seen;
        std::size_t start = 0;
        while (start < c_.size()) {
            const std::size_t end = runEnd[start];  // the run is [start, end)
            // Where one of the run's first numbered entries comes back within
            // it, the body begins; sections a contents lists under each
            // chapter (一、, 二、), matter under each volume (前言) and the
            // book's title above it come back in it or not at all.
            seen.clear();
            std::size_t body = end;
            // Numbered of a strong form where the run has any, else of a weak one.
            const bool anyStrong = nextStrong[start] < end;
            for (std::size_t i = start; i < end && body == end; ++i) {
                tick();
                const HeadingLine::Form form = c_[i].heading.form;
                if (!open(i) || !(anyStrong ? strongForm(form) : weakForm(form))) continue;
                const std::uint64_t key = exactKey(c_[i].heading);
                if (seen.contains(key)) {
                    body = i;
                } else if (seen.size() < kContentsRun) {
                    seen.insert(key);
                }
            }
            // A body as close-set as the run before it is short chapters
            // numbered again, not a contents and its book; so is a run at the
            // end as close-set as the book before it.
            const bool sparserBody =
                body == end || sparser(start, body, body, std::min(c_.size(), 2 * body - start));
            // (A run with a body in it is no contents at the end: each stretch
            // of the run is looked at once.)
            if (!sparserBody ||
                !markContentsIn(
                    start, body, [&](std::size_t i) { return comesBack(i, body); }, printedOften,
                    false)) {
                if (body == end && sparser(start, end, 0, start)) {
                    markContentsIn(
                        start, end, [&](std::size_t i) { return cameBefore(i, start); },
                        printedOften, true);
                }
            }
            start = body < end ? body : end;
        }
    }

    // Whether the candidates [from, to) have clearly more lines before them
    // than those of a contents' entries after the first, (listFrom, listTo).
    bool sparser(std::size_t listFrom, std::size_t listTo, std::size_t from, std::size_t to) {
        const auto mean = [this](std::size_t first, std::size_t last) {
            if (last <= first) return 0.0;
            const std::uint64_t lines = linesUpToOpen_[last].first - linesUpToOpen_[first].first;
            const std::uint64_t count = linesUpToOpen_[last].second - linesUpToOpen_[first].second;
            return count == 0 ? 0.0 : static_cast<double>(lines) / static_cast<double>(count);
        };
        return mean(listFrom + 1, listTo) * kContentsDensity < mean(from, to);
    }

    // Marks the run [start, end) as contents when enough of its entries are
    // listed elsewhere, judged by its chapters where it has enough of them
    // (the sections a table of contents lists under them need not come back):
    // from the start to the last such entry, or `fromFirst`, from the first
    // such entry. Numbers alone with the book's text between them are short
    // chapters, not a list of them; a line printed again and again (a
    // running header, an author's name under every piece) is no entry.
    template <typename Listed, typename Often>
    bool markContentsIn(std::size_t start, std::size_t end, const Listed& listedElsewhere,
                        const Often& printedOften, bool fromFirst) {
        // Judged by its entries of a strong form or front and back matter
        // where it has enough of them, else by its numbered ones, else by all.
        enum Tier { Strong, Numbered, All, Tiers };
        std::size_t entries[Tiers] = {0, 0, 0};
        std::size_t back[Tiers] = {0, 0, 0};
        std::size_t first[Tiers] = {end, end, end};
        std::size_t last[Tiers] = {start, start, start};
        std::size_t numbersWithText = 0;
        std::map<GroupKey, std::size_t> byGroup;
        for (std::size_t i = start; i < end; ++i) {
            tick();
            if (!open(i) || printedOften(i)) continue;
            const HeadingLine& h = c_[i].heading;
            ++byGroup[keyOf(h)];
            if (h.numberOnly && numberedForm(h.form) && c_[i].linesBetween > 0) ++numbersWithText;
            const bool in[Tiers] = {!h.weak() && h.form != HeadingLine::Form::Plain,
                                    numberedForm(h.form), true};
            const bool elsewhere = listedElsewhere(i);
            for (int tier = 0; tier < Tiers; ++tier) {
                if (!in[tier]) continue;
                ++entries[tier];
                if (!elsewhere) continue;
                ++back[tier];
                first[tier] = std::min(first[tier], i);
                last[tier] = i;
            }
        }
        std::size_t largestGroup = 0;
        for (const auto& [key, count] : byGroup) largestGroup = std::max(largestGroup, count);
        int by = Strong;
        while (by < All && entries[by] < kContentsRun) ++by;
        if (entries[by] < kContentsRun || largestGroup < kContentsRun || back[by] < 2 ||
            2 * numbersWithText > entries[by] ||
            static_cast<double>(back[by]) <
                kContentsComingBack * static_cast<double>(entries[by])) {
            return false;
        }
        for (std::size_t i = fromFirst ? first[by] : start; i <= last[by]; ++i) {
            if (open(i)) mark(i, HeadingReason::Contents);
        }
        return true;
    }

    void collectEntries() {
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            const HeadingLine& heading = c_[i].heading;
            if (!open(i)) continue;
            // Titles without a number take part as a level above others.
            const auto candidate = static_cast<std::uint32_t>(i);
            entries_.push_back({candidate, keyOf(heading), heading.number, false});
            if (heading.innerWord != 0) {
                entries_.push_back({candidate,
                                    {HeadingLine::Form::Numbered, heading.innerWord, false},
                                    heading.innerNumber,
                                    true});
            }
        }
    }

    // Sequences of each group: a heading continues the run whose last number
    // is just below its own (a few missing allowed) or the same; otherwise
    // it begins a run (at 1 again under a new volume, or a stray number).
    void acceptSequences() {
        std::map<GroupKey, std::vector<std::size_t>> groups;  // entry indices
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            tick();
            if (entries_[e].key.form != HeadingLine::Form::Plain) groups[entries_[e].key].push_back(e);
        }
        for (const auto& [key, members] : groups) {
            std::multimap<std::uint32_t, std::size_t> openRuns;  // last number -> run
            for (std::size_t e : members) {
                tick();
                const std::uint32_t n = entries_[e].number;
                // Of the runs waiting for a number, the one extended last.
                const auto latest = [&openRuns](std::uint32_t last) {
                    const auto [from, to] = openRuns.equal_range(last);
                    return from == to ? openRuns.end() : std::prev(to);
                };
                auto chosen = openRuns.end();
                for (std::uint32_t missing = 0; missing <= kMostMissing && chosen == openRuns.end();
                     ++missing) {
                    if (n < missing + 1) break;
                    chosen = latest(n - 1 - missing);
                }
                // The same number again: parts of one chapter, or a slip of the
                // author's; for weak forms only a later piece, or it is a list's.
                if (chosen == openRuns.end() &&
                    (!weakForm(key.form) || c_[entries_[e].candidate].heading.piece >= 2)) {
                    chosen = latest(n);
                }
                std::size_t run = runs_.size();
                if (chosen != openRuns.end()) {
                    run = chosen->second;
                    // Keep the map small: a run waits under its last number only.
                    openRuns.erase(chosen);
                } else {
                    runs_.emplace_back();
                }
                runs_[run].push_back(e);
                entries_[e].run = static_cast<std::uint32_t>(run);
                openRuns.emplace(n, run);
            }
        }
        std::vector<bool> spaced(runs_.size());
        for (std::size_t r = 0; r < runs_.size(); ++r) spaced[r] = spacedApart(runs_[r]);
        for (Entry& entry : entries_) {
            tick();
            if (entry.key.form == HeadingLine::Form::Plain) continue;
            const HeadingLine& heading = c_[entry.candidate].heading;
            const std::size_t length = runs_[entry.run].size();
            switch (entry.key.form) {
                case HeadingLine::Form::Numbered:
                case HeadingLine::Form::English:
                    // A long line with a sentence's punctuation only mentions one.
                    entry.accepted = (length >= 2 && !(heading.punctuated &&
                                                       heading.characters > kTitleCharacters)) ||
                                     standsAlone(entry.candidate);
                    break;
                case HeadingLine::Form::Named:
                    entry.accepted = standsAlone(entry.candidate);
                    break;
                default: {
                    if (paragraphStart(entry.candidate)) break;
                    // A short run starts low: years (2003, 2005, 2007) are no chapters.
                    const std::uint32_t firstNumber = entries_[runs_[entry.run].front()].number;
                    entry.accepted =
                        length >= (heading.volume() ? 2u : 3u) && spaced[entry.run] &&
                        (firstNumber <= kHighestFirst || length >= kLongRun) &&
                        (!heading.punctuated || entry.key.form == HeadingLine::Form::Titled);
                    break;
                }
            }
        }
        // A candidate is a heading when its own number is, or the second one on its line.
        forEachCandidateEntry([&](std::size_t i, const Entry& own, const Entry* inner) {
            if (own.key.form == HeadingLine::Form::Plain) return;
            const bool yes = own.accepted || (inner != nullptr && inner->accepted);
            if (yes) {
                mark(i, reasonTaken(i));
                return;
            }
            const HeadingLine::Form form = c_[i].heading.form;
            const std::size_t length = runs_[own.run].size();
            if (weakForm(form)) {
                mark(i, length >= 3 && !spaced[own.run] ? HeadingReason::List
                                                        : HeadingReason::BrokenSequence);
            } else {
                mark(i, HeadingReason::Citation);
            }
        });
    }

    HeadingReason reasonTaken(std::size_t i) const {
        const HeadingLine& h = c_[i].heading;
        if (h.form == HeadingLine::Form::Named) return HeadingReason::Matter;
        if (h.volume()) return HeadingReason::Volume;
        return HeadingReason::Sequence;
    }

    // Calls `f(candidate, its own entry, its inner entry or null)` for every
    // candidate with entries.
    template <typename F>
    void forEachCandidateEntry(const F& f) {
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            tick();
            if (entries_[e].inner) continue;
            const bool inner = e + 1 < entries_.size() && entries_[e + 1].inner &&
                               entries_[e + 1].candidate == entries_[e].candidate;
            f(entries_[e].candidate, entries_[e], inner ? &entries_[e + 1] : nullptr);
        }
    }

    // Whether a run's headings stand far enough apart for chapters: the
    // middle of their distances, measured once a run.
    // Two headings are a list's items, too close for chapters, when both
    // few bytes and few lines of text stand between them; a run is spaced
    // apart when at most half of its neighbours are.
    bool spacedApart(const std::vector<std::size_t>& run) {
        if (linesUpTo_.empty()) {
            std::uint64_t lines = 0;
            for (const Candidate& c : c_) {
                lines += c.linesBetween + 1u;
                linesUpTo_.push_back(lines);
            }
        }
        std::size_t close = 0;
        for (std::size_t k = 1; k < run.size(); ++k) {
            tick();
            const std::size_t from = entries_[run[k - 1]].candidate;
            const std::size_t to = entries_[run[k]].candidate;
            close += c_[to].offset - c_[from].offset < kListSpacing &&
                     linesUpTo_[to] - linesUpTo_[from] <= kListLines + 1;
        }
        return 2 * close <= run.size() - 1;
    }

    // Sections: weak forms in a book with chapters of a strong form; a group
    // whose numbers start again after (nearly) every heading of a chapter
    // group above it, where they are numbers alone or the group above is of
    // a strong form (under weak chapters with titles, titled numbers that
    // start again are the chapters, and the group above their volumes);
    // numbers alone, several to a heading of another group; and a heading
    // with the number and title of the one before of its group (第一章(1),
    // 第一章(2)).
    void markSections() {
        std::map<GroupKey, std::vector<std::size_t>> chapters;  // accepted entries by group
        std::map<GroupKey, std::vector<std::size_t>> all;       // and all of them
        std::map<GroupKey, std::size_t> numbersAlone;
        // Strong chapters in runs of a few: their number, and the stretch of
        // the book from the first to the last.
        std::size_t strong = 0;
        std::size_t strongLast = 0;
        std::vector<std::size_t> strongAt;  // their candidates, in order
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            tick();
            const Entry& entry = entries_[e];
            all[entry.key].push_back(e);
            if (!entry.accepted || (entry.inner && entry.number <= 1)) continue;
            // A chapter 1 named on its volume's line only opens the volume: no
            // chapter level for others to be sections of.
            chapters[entry.key].push_back(e);
            if (c_[entry.candidate].heading.numberOnly) ++numbersAlone[entry.key];
            if (strongForm(entry.key.form) && !isVolumeGroup(entry.key) &&
                entry.key.form != HeadingLine::Form::Plain &&
                runs_[entry.run].size() >= kStrongChapters) {
                ++strong;
                strongLast = entry.candidate;
                strongAt.push_back(entry.candidate);
            }
        }
        std::sort(strongAt.begin(), strongAt.end());
        // The usual length of a strong chapter, from one heading to the next.
        std::vector<std::uint64_t> lengths;
        for (std::size_t k = 1; k < strongAt.size(); ++k) {
            lengths.push_back(c_[strongAt[k]].offset - c_[strongAt[k - 1]].offset);
        }
        std::uint64_t usualLength = 0;
        if (!lengths.empty()) {
            const auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
            std::nth_element(lengths.begin(), middle, lengths.end());
            usualLength = *middle;
        }
        // Whether candidate `i` stands under a strong chapter: between two
        // that are no farther apart than a few of the usual.
        const auto underStrong = [&](std::size_t i) {
            const auto next = std::upper_bound(strongAt.begin(), strongAt.end(), i);
            if (next == strongAt.begin() || next == strongAt.end()) return false;
            return c_[*next].offset - c_[*std::prev(next)].offset <= kWidestChapter * usualLength;
        };
        const auto mostlyNumbersAlone = [&](const GroupKey& key) {
            return 2 * numbersAlone[key] > chapters[key].size();
        };
        // Weak forms under strong chapters are their sections; outside them
        // (before the first, after the last, or in a long stretch between two,
        // a side story after the end) they are chapters,
        // and so are they where the strong ones are a handful of mentions.
        // An appendix after the last chapter holds sections, not chapters.
        std::size_t appendix = c_.size();
        for (std::size_t i = strongLast; i < c_.size() && strong >= kStrongChapters; ++i) {
            tick();
            if (taken(i) && c_[i].heading.form == HeadingLine::Form::Named &&
                c_[i].heading.word == U'附') {
                appendix = i;
                break;
            }
        }
        std::map<GroupKey, bool> section;
        for (const auto& [key, members] : chapters) {
            std::size_t inside = 0;
            for (std::size_t e : members) {
                const std::size_t i = entries_[e].candidate;
                inside += underStrong(i) || i > appendix;
            }
            section[key] = weakForm(key.form) && strong >= kStrongChapters &&
                           10 * inside >= 7 * members.size();
        }
        for (const auto& [inner, members] : chapters) {
            for (const auto& [outer, others] : chapters) {
                tick();
                // A level above others has a few headings at least.
                if (inner == outer || section[inner] || section[outer] ||
                    inner.form == HeadingLine::Form::Plain ||
                    outer.form == HeadingLine::Form::Named || others.size() < kLeastTitles) {
                    continue;
                }
                // 节 under 章 or 回 is a section, where it stands under them,
                // however many there are.
                if (inner.form == HeadingLine::Form::Numbered &&
                    outer.form == HeadingLine::Form::Numbered && inner.word == U'节' &&
                    (outer.word == U'章' || outer.word == U'回') &&
                    spreadUnder(members, others, false)) {
                    section[inner] = true;
                    continue;
                }
                if (all[inner].size() <= others.size()) continue;
                const bool aloneUnder = mostlyNumbersAlone(inner) &&
                                        (inner.form == HeadingLine::Form::Bare ||
                                         inner.form == HeadingLine::Form::Bracketed) &&
                                        !mostlyNumbersAlone(outer) &&
                                        members.size() >= kSectionsPerChapter * others.size() &&
                                        spreadUnder(members, others, true);
                // Numbers that start again under every heading of a chapter
                // group are its sections, unless they are titled, under weak
                // headings, and many to each: a volume's chapters (categories
                // and their cases).
                const bool again = !isVolumeGroup(outer) &&
                                   startsAgainUnder(all[inner], candidatesOf(others));
                const bool manyEach = members.size() >= kChaptersPerVolume * others.size();
                const bool chaptersUnder = again && !mostlyNumbersAlone(inner) &&
                                           !strongForm(outer.form) && manyEach;
                if (aloneUnder || (again && !chaptersUnder)) {
                    section[inner] = true;
                } else if (chaptersUnder) {
                    volumeLevel_.insert(outer);
                }
            }
        }
        std::map<GroupKey, std::size_t> lastOfGroup;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            tick();
            Entry& entry = entries_[e];
            if (!entry.accepted) continue;
            const auto found = section.find(entry.key);
            bool isSection = found != section.end() && found->second;
            const auto last = lastOfGroup.find(entry.key);
            if (!isSection && last != lastOfGroup.end()) {
                const Entry& before = entries_[last->second];
                const HeadingLine& then = c_[before.candidate].heading;
                const HeadingLine& now = c_[entry.candidate].heading;
                // Numbers alone say nothing of their titles: a slip of the author's.
                isSection = before.number == entry.number && then.titleHash == now.titleHash &&
                            !then.numberOnly && !now.numberOnly && !entry.inner &&
                            now.piece == 0;
            }
            lastOfGroup[entry.key] = e;
            if (isSection) entry.accepted = false;
        }
        forEachCandidateEntry([&](std::size_t i, const Entry& own, const Entry* inner) {
            if (!taken(i) || is(i, HeadingReason::Matter)) return;
            if (!own.accepted && !(inner != nullptr && inner->accepted)) {
                mark(i, HeadingReason::Section);
            }
        });
    }

    // Whether the headings of `inner` stand under those of `outer`: nearly
    // all after its first, and `inMost`, in most of its chapters.
    bool spreadUnder(const std::vector<std::size_t>& inner, const std::vector<std::size_t>& outer,
                     bool inMost) {
        std::size_t after = 0;
        std::size_t chaptersWith = 0;
        std::size_t o = 0;
        std::size_t lastChapter = SIZE_MAX;
        for (std::size_t e : inner) {
            tick();
            const std::size_t i = entries_[e].candidate;
            while (o < outer.size() && entries_[outer[o]].candidate < i) ++o;
            if (o == 0) continue;  // before the first of `outer`
            ++after;
            if (o != lastChapter) ++chaptersWith;
            lastChapter = o;
        }
        return 10 * after >= 7 * inner.size() && (!inMost || 2 * chaptersWith >= outer.size());
    }

    std::vector<std::size_t> candidatesOf(const std::vector<std::size_t>& entries) const {
        std::vector<std::size_t> candidates;
        candidates.reserve(entries.size());
        for (std::size_t e : entries) candidates.push_back(entries_[e].candidate);
        return candidates;
    }

    // Whether the numbers of `inner` start again after most headings of `outer`.
    // `outer` are candidates, in the order of the file.
    bool startsAgainUnder(const std::vector<std::size_t>& inner,
                          const std::vector<std::size_t>& outer) {
        const auto [boundaries, again] = crossings(inner, outer);
        return boundaries >= 2 && again * 10 >= boundaries * 7;
    }

    // How often one of `outer` stands between two headings of `inner`, and
    // how often the number starts again there.
    std::pair<std::size_t, std::size_t> crossings(const std::vector<std::size_t>& inner,
                                                  const std::vector<std::size_t>& outer) {
        std::size_t boundaries = 0;
        std::size_t again = 0;
        std::size_t o = 0;
        for (std::size_t k = 1; k < inner.size(); ++k) {
            tick();
            const std::size_t from = entries_[inner[k - 1]].candidate;
            const std::size_t to = entries_[inner[k]].candidate;
            bool crossed = false;
            while (o < outer.size() && outer[o] < to) {
                crossed = crossed || outer[o] > from;
                ++o;
            }
            if (!crossed) continue;
            ++boundaries;
            if (entries_[inner[k]].number <= entries_[inner[k - 1]].number) ++again;
        }
        return {boundaries, again};
    }

    // Titles without a number: those the contents list, standing alone in
    // the body; and, in a book without chapters of a strong form, those the
    // book sets off alike all through (blank lines above them as above no
    // paragraph, a site's date stamp or an author under them, a site's
    // banner above them), far enough apart for chapters.
    void acceptTitles() {
        std::unordered_set<std::uint64_t> listed;
        std::unordered_map<std::uint64_t, std::size_t> inBody;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            if (is(i, HeadingReason::Contents)) {
                listed.insert(c_[i].heading.textHash);
            } else if (c_[i].heading.form == HeadingLine::Form::Plain && open(i)) {
                ++inBody[c_[i].heading.textHash];
            }
        }
        const auto byContents = [&](std::size_t i) {
            const HeadingLine& h = c_[i].heading;
            return h.textHash != 0 && listed.contains(h.textHash) && standsAlone(i);
        };
        // The numbered chapters taken so far, by group: a title set off like
        // the others that stands between two chapters numbered on is inside
        // a chapter, not one; titles stand above numbered chapters only
        // where their numbers start again under them.
        std::map<GroupKey, std::vector<std::size_t>> chapterGroups;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            const Entry& entry = entries_[e];
            if (entry.accepted && !entry.inner && !isVolumeGroup(entry.key) &&
                entry.key.form != HeadingLine::Form::Named) {
                chapterGroups[entry.key].push_back(e);
            }
        }
        const auto outsideChapters = [&](std::vector<std::size_t>& titles) {
            std::vector<bool> inside(titles.size(), false);
            for (const auto& [key, members] : chapterGroups) {
                std::size_t t = 0;
                for (std::size_t k = 1; k < members.size(); ++k) {
                    tick();
                    const Entry& from = entries_[members[k - 1]];
                    const Entry& to = entries_[members[k]];
                    while (t < titles.size() && titles[t] <= from.candidate) ++t;
                    for (; t < titles.size() && titles[t] < to.candidate; ++t) {
                        inside[t] = inside[t] || to.number > from.number;
                    }
                }
            }
            std::size_t kept = 0;
            for (std::size_t t = 0; t < titles.size(); ++t) {
                if (!inside[t]) titles[kept++] = titles[t];
            }
            titles.resize(kept);
        };
        std::size_t blanksMark = kNoBlanksMark;
        for (std::size_t blanks = 2; blanks <= 4 && m_.textLines > 0; ++blanks) {
            if (m_.textLinesAfterBlanks[blanks - 1] * kBlanksRarity <= m_.textLines) {
                blanksMark = blanks;
                break;
            }
        }
        // The titles of each mark, in the order of the file.
        enum Mark { Blanks, DateStamp, Byline, SiteLine, Marks };
        std::vector<std::size_t> marked[Marks];
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            const Candidate& c = c_[i];
            if (c.heading.form != HeadingLine::Form::Plain) {
                // A numbered heading out of every sequence that the contents list.
                if ((is(i, HeadingReason::Citation) || is(i, HeadingReason::BrokenSequence)) &&
                    byContents(i)) {
                    mark(i, HeadingReason::ByContents);
                }
                continue;
            }
            if (!open(i)) continue;
            if (inBody[c.heading.textHash] > kMostRepeated) {
                mark(i, HeadingReason::RunningHeader);
            } else if (byContents(i)) {
                mark(i, HeadingReason::ByContents);
            } else if (!c.heading.punctuated) {
                if (c.blanksBefore >= blanksMark) marked[Blanks].push_back(i);
                if (c.next.dateStamp) marked[DateStamp].push_back(i);
                if (c.next.byline) marked[Byline].push_back(i);
                if (c.previous.siteLine) marked[SiteLine].push_back(i);
            }
        }
        for (int kind = 0; kind < Marks; ++kind) {
            std::vector<std::size_t>& titles = marked[kind];
            outsideChapters(titles);
            // A site's date stamp or an author's name says more than blank lines do.
            const bool plainMark = kind == Blanks || kind == SiteLine;
            if (titles.size() < (plainMark ? kLeastTitles : kLeastMarkedTitles) ||
                !titlesApart(titles)) {
                continue;
            }
            for (std::size_t i : titles) {
                if (open(i)) mark(i, HeadingReason::Titles);
            }
        }
        for (std::size_t i = 0; i < c_.size(); ++i) {
            if (open(i)) mark(i, HeadingReason::NotSetOff);
        }
        for (Entry& entry : entries_) entry.accepted = entry.accepted || taken(entry.candidate);
    }

    bool titlesApart(const std::vector<std::size_t>& titles) {
        spacing_.clear();
        for (std::size_t k = 1; k < titles.size(); ++k) {
            tick();
            spacing_.push_back(c_[titles[k]].offset - c_[titles[k - 1]].offset);
        }
        const auto middle = spacing_.begin() + static_cast<std::ptrdiff_t>(spacing_.size() / 2);
        std::nth_element(spacing_.begin(), middle, spacing_.end());
        return *middle >= kTitleSpacing;
    }

    // The later pieces of one chapter a site cut: 风起（2） after 风起（1）,
    // 第一部分.3.2 after 第一部分.3.1, each after the heading before of its
    // group with the same number. Where the pieces are all of one heading,
    // they are the book's.
    void markPieces() {
        std::unordered_set<std::uint64_t> headings;  // the heading each piece is of
        std::map<GroupKey, std::size_t> lastOfGroup;
        std::vector<std::size_t> pieces;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            if (!taken(i)) continue;
            const HeadingLine& now = c_[i].heading;
            const auto last = lastOfGroup.find(keyOf(now));
            // A heading numbered on (第5章 风起（2）) is a chapter of its own.
            if (now.piece >= 2 && last != lastOfGroup.end() &&
                c_[last->second].heading.titleHash == now.titleHash &&
                c_[last->second].heading.number == now.number &&
                c_[last->second].heading.innerNumber == now.innerNumber) {
                pieces.push_back(i);
            } else if (now.piece != 0) {
                headings.insert(hashOf(keyOf(now), now.number, now.titleHash));
            }
            lastOfGroup[keyOf(now)] = i;
        }
        if (headings.size() <= 1) return;
        for (std::size_t i : pieces) mark(i, HeadingReason::SitePiece);
        for (Entry& entry : entries_) entry.accepted = entry.accepted && taken(entry.candidate);
    }

    // The second line of one heading: a title right below or above a number
    // alone, a title right under a heading, and a second numbering right next
    // to it (01 above 一), where the numbering of the group with more
    // headings stays the heading.
    void markSameBlocks() {
        std::map<GroupKey, std::size_t> groupSize;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            if (taken(i)) ++groupSize[keyOf(c_[i].heading)];
        }
        const auto numberAlone = [&](std::size_t i) {
            return taken(i) && c_[i].heading.numberOnly && numberedForm(c_[i].heading.form);
        };
        std::size_t previous = c_.size();
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            const Candidate& c = c_[i];
            if (is(i, HeadingReason::NotSetOff) &&
                ((i > 0 && c.linesBetween == 0 && numberAlone(i - 1)) ||
                 (i + 1 < c_.size() && c_[i + 1].linesBetween == 0 && numberAlone(i + 1)))) {
                mark(i, HeadingReason::SameBlock);
            }
            // A title right under a heading is its second line (——读《某书》).
            if (is(i, HeadingReason::Titles) && i > 0 && c.linesBetween == 0 &&
                c.blanksBefore == 0 && taken(i - 1)) {
                mark(i, HeadingReason::SameBlock);
            }
            if (!taken(i)) continue;
            const HeadingLine& now = c.heading;
            if (previous + 1 == i && c.linesBetween == 0) {
                const HeadingLine& then = c_[previous].heading;
                if (numberedForm(now.form) && numberedForm(then.form) && !now.volume() &&
                    !then.volume() && keyOf(now) != keyOf(then) &&
                    !volumeLevel_.contains(keyOf(then))) {
                    const bool firstStays = groupSize[keyOf(then)] >= groupSize[keyOf(now)];
                    mark(firstStays ? i : previous, HeadingReason::SameBlock);
                    if (firstStays) continue;
                }
            }
            previous = i;
        }
    }

    // A volume, or a chapter: a line with two numbers is a volume's heading
    // where its volume number is new, and otherwise a chapter that names
    // its volume (第一卷 第二章 …).
    HeadingLevel levelOf(std::size_t i, std::map<GroupKey, std::uint32_t>& lastVolume) const {
        const HeadingLine& heading = c_[i].heading;
        if (volumeLevel_.contains(keyOf(heading))) return HeadingLevel::Volume;
        if (!heading.volume()) return HeadingLevel::Chapter;
        const GroupKey key = keyOf(heading);
        const auto last = lastVolume.find(key);
        const bool same = last != lastVolume.end() && last->second == heading.number;
        lastVolume[key] = heading.number;
        const bool innerChapter =
            heading.innerWord != 0 &&
            !isVolumeGroup({HeadingLine::Form::Numbered, heading.innerWord, false});
        return same && innerChapter ? HeadingLevel::Chapter : HeadingLevel::Volume;
    }

    // Headings with nothing between them but blank lines or one title line
    // make one block; a number alone whose book puts titles above numbers
    // begins its block at its title line. A block begins a volume with a
    // volume's heading, or where chapters start again at 1.
    BookStructure blocks() {
        BookStructure structure;
        const bool titlesAbove = titlesStandAbove();
        std::map<GroupKey, std::uint32_t> lastVolume;
        std::map<GroupKey, std::uint32_t> lastChapter;
        std::size_t previous = c_.size();  // the last heading taken
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            if (!taken(i)) continue;
            const Candidate& c = c_[i];
            bool joins = previous < c_.size();
            // The lines with text since the heading before: a candidate passed
            // over is one, but a copy of a heading is none, nor is its second
            // numbering or title below a number alone.
            std::uint32_t linesBetween = 0;
            for (std::size_t k = previous + 1; joins && k <= i; ++k) {
                linesBetween += c_[k].linesBetween;
                if (k < i && !is(k, HeadingReason::Repeat) &&
                    !(is(k, HeadingReason::SameBlock) && !c_[previous].heading.numberOnly)) {
                    ++linesBetween;
                }
            }
            // The one line may be the title of a volume or of a number alone.
            const bool titled = previous < c_.size() &&
                                (c_[previous].heading.volume() || c_[previous].heading.numberOnly);
            joins = joins &&
                    (linesBetween == 0 || (titled && linesBetween == 1 && c.previous.titleLike));
            const HeadingLevel level = levelOf(i, lastVolume);
            // Under a volume's heading, chapters start again as they should.
            if (level == HeadingLevel::Volume) lastChapter.clear();
            bool again = false;
            if (level == HeadingLevel::Chapter && numberedForm(c.heading.form)) {
                const GroupKey key = keyOf(c.heading);
                const auto last = lastChapter.find(key);
                again = last != lastChapter.end() && c.heading.number <= 1 && last->second > 1;
                lastChapter[key] = c.heading.number;
            }
            if (!joins) {
                // A second numbering right above opens the block.
                BookStructure::Cut cut =
                    i > 0 && c.linesBetween == 0 && is(i - 1, HeadingReason::SameBlock) &&
                            numberedForm(c_[i - 1].heading.form)
                        ? cutAt(c_[i - 1])
                        : cutAt(c);
                if (titlesAbove && c.heading.numberOnly && titleLineAbove(i) &&
                    !c.next.titleLike && c.previousOffsetBack != 0) {
                    cut = {c.offset - c.previousOffsetBack, c.line - c.blanksBefore - 1u,
                           c.charactersBefore - c.previousCharactersBack,
                           c.bytesBefore - c.previousBytesBack, false};
                }
                structure.cuts.push_back(cut);
            }
            structure.cuts.back().volume =
                structure.cuts.back().volume || level == HeadingLevel::Volume || again;
            structure.headings.push_back({i, level, structure.cuts.size() - 1});
            previous = i;
        }
        return structure;
    }

    // Whether the book puts a heading's title on the line above its number:
    // more numbers alone have a title line above them than below them.
    bool titlesStandAbove() {
        std::size_t above = 0;
        std::size_t below = 0;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            tick();
            const Candidate& c = c_[i];
            if (!taken(i) || !c.heading.numberOnly) continue;
            if (c.next.titleLike && !c.next.candidate) {
                ++below;
            } else if (titleLineAbove(i)) {
                ++above;
            }
        }
        return above >= 2 && above > 2 * below;
    }

    // Whether the line right above a candidate is a title of its own: text,
    // or a title passed over as a heading.
    bool titleLineAbove(std::size_t i) const {
        const Candidate& c = c_[i];
        const bool passedTitle = i > 0 && c.linesBetween == 0 &&
                                 c_[i - 1].heading.form == HeadingLine::Form::Plain && !taken(i - 1);
        return c.previous.titleLike && !c.previous.candidate && (c.linesBetween >= 1 || passedTitle);
    }

    const Candidates& c_;
    const BookMeasures& m_;
    const std::atomic<bool>* stop_;
    std::uint64_t ticks_ = 0;
    std::vector<std::uint8_t> verdict_;
    std::vector<Entry> entries_;
    std::vector<std::vector<std::size_t>> runs_;
    std::vector<std::uint64_t> spacing_;
    std::vector<std::uint64_t> linesUpTo_;  // lines with text up to each candidate, its own too
    // Before each candidate, the open candidates' lines between and their count.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> linesUpToOpen_;
    std::set<GroupKey> volumeLevel_;  // chapter groups that stand as volumes above others
};

}  // namespace

BookStructure::Cut cutAt(const Candidate& candidate) {
    return {candidate.offset, candidate.line, candidate.charactersBefore, candidate.bytesBefore,
            false};
}

BookStructure readBookStructure(const Candidates& candidates,
                                const BookMeasures& measures,
                                const std::atomic<bool>* stopRequested) {
    return Reader(candidates, measures, stopRequested).read();
}

BookStructure everyCandidateAHeading(const Candidates& candidates) {
    BookStructure structure;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        structure.cuts.push_back(cutAt(candidates[i]));
        structure.headings.push_back({i, HeadingLevel::Chapter, i});
        structure.verdicts.push_back(HeadingReason::Sequence);
    }
    return structure;
}

}  // namespace tovane
