#include "split/chapters/book_structure.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace tovane {

namespace {

// Weak headings this close together, in bytes, are a list, not chapters.
constexpr std::uint64_t kListSpacing = 1000;
// Chapters of a strong form from this many on make the weak forms sections.
constexpr std::size_t kStrongChapters = 3;
// A sequence tolerates this many numbers missing between two of its headings.
constexpr std::uint32_t kMostMissing = 3;
// A table of contents: this many headings in a row, each with at most two
// short lines before it (a summary), …
constexpr std::size_t kContentsRun = 3;
constexpr std::uint32_t kContentsLinesBetween = 2;
// … of which this share come back later as the book's own headings.
constexpr double kContentsComingBack = 0.5;
// A title line stands on its own line of at most this many characters.
constexpr std::size_t kTitleCharacters = 30;

enum class Fate : std::uint8_t { Open, Repeat, Contents, Rejected, Section, Accepted };

// Headings of one word and form number one sequence.
using GroupKey = std::tuple<HeadingLine::Form, char32_t, bool>;

GroupKey keyOf(const HeadingLine& heading) {
    switch (heading.form) {
        case HeadingLine::Form::Numbered:
        case HeadingLine::Form::Named:
        case HeadingLine::Form::English:
        case HeadingLine::Form::WordFirst:
            return {heading.form, heading.word, false};
        default:
            return {heading.form, 0, heading.chineseNumber};
    }
}

// A heading number on a candidate: its own, or the second of a line that
// holds two (第一卷 第一章).
struct Entry {
    std::size_t candidate;
    GroupKey key;
    std::uint32_t number;
    bool inner;
};

bool weakKey(const GroupKey& key) {
    return std::get<0>(key) >= HeadingLine::Form::WordFirst;
}

bool isChapterGroup(const GroupKey& key) {
    const auto [form, word, chinese] = key;
    (void)chinese;
    HeadingLine probe;
    probe.form = form;
    probe.word = word;
    return !probe.volume();
}

class Reader {
public:
    Reader(const std::vector<Candidate>& candidates, std::uint64_t shortLineBytes)
        : c_(candidates), shortLine_(shortLineBytes), fate_(candidates.size(), Fate::Open) {}

    BookStructure read() {
        markRepeats();
        markContents();
        collectEntries();
        acceptSequences();
        markSections();
        return blocks();
    }

private:
    // Only blank lines, or a line or two of a site's banner, since the candidate before.
    bool closeAfterPrevious(std::size_t i) const {
        return c_[i].linesBetween <= 2 && c_[i].longestBetween <= shortLine_;
    }

    // The same heading again a few lines on (a site prints it twice), or
    // the same number of the same form right after a number alone (第一回
    // and, on the next line, 第一回 甄士隐…), is the heading before.
    void markRepeats() {
        for (std::size_t i = 1; i < c_.size(); ++i) {
            std::size_t before = i - 1;
            while (before > 0 && fate_[before] == Fate::Repeat) --before;
            const HeadingLine& now = c_[i].heading;
            const HeadingLine& then = c_[before].heading;
            bool walked = true;  // every step back was close
            for (std::size_t k = before + 1; k <= i; ++k) walked = walked && closeAfterPrevious(k);
            if (!walked) continue;
            const bool sameText = now.textHash != 0 && now.textHash == then.textHash;
            const bool sameNumber = keyOf(now) == keyOf(then) && now.number == then.number &&
                                    c_[i].linesBetween == 0 && (then.numberOnly || now.numberOnly);
            if (sameText || sameNumber) fate_[i] = Fate::Repeat;
        }
    }

    // Runs of headings with little between them whose headings come back
    // later: a table of contents, up to its last entry that comes back; the
    // book's own first chapter right after it doesn't come back and stays.
    // A run at the end whose headings came before is one too, from its first
    // such entry on.
    void markContents() {
        std::multimap<std::tuple<GroupKey, std::uint32_t>, std::size_t> byNumber;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            if (fate_[i] == Fate::Open)
                byNumber.emplace(std::tuple{keyOf(c_[i].heading), c_[i].heading.number}, i);
        }
        // Another heading of the same number and title (or of a title the
        // entry only begins), after `i` or, `before`, ahead of `start`.
        const auto listedElsewhere = [&](std::size_t i, bool before, std::size_t start) {
            const auto [from, to] =
                byNumber.equal_range({keyOf(c_[i].heading), c_[i].heading.number});
            for (auto it = from; it != to; ++it) {
                const std::size_t k = it->second;
                if (before ? k >= start : k <= i) continue;
                const HeadingLine& entry = c_[i].heading;
                const HeadingLine& heading = c_[k].heading;
                if (entry.titleHash == heading.titleHash || entry.titleHash == 0 ||
                    heading.titleHash == 0 || entry.titleHeadHash == heading.titleHeadHash) {
                    return true;
                }
            }
            return false;
        };
        // A summary under an entry is a line or two, shorter than the book's paragraphs.
        const auto dense = [&](std::size_t i) {
            return c_[i].linesBetween <= kContentsLinesBetween &&
                   c_[i].longestBetween <= shortLine_ * 3 / 2;
        };
        std::size_t start = 0;
        while (start < c_.size()) {
            std::size_t end = start + 1;  // the run is [start, end)
            while (end < c_.size() && (fate_[end] == Fate::Repeat || dense(end))) ++end;
            if (!markContentsIn(
                    start, end, [&](std::size_t i) { return listedElsewhere(i, false, start); },
                    false)) {
                markContentsIn(
                    start, end, [&](std::size_t i) { return listedElsewhere(i, true, start); },
                    true);
            }
            start = end;
        }
    }

    // Marks the run [start, end) as contents when enough of its entries are
    // listed elsewhere, judged by its chapters where it has enough of them
    // (the sections a table of contents lists under them need not come back):
    // from the start to the last such entry, or `fromFirst`, from the first
    // such entry.
    template <typename Listed>
    bool markContentsIn(std::size_t start, std::size_t end, const Listed& listedElsewhere,
                        bool fromFirst) {
        std::size_t entries[2] = {0, 0};  // all, strong
        std::size_t back[2] = {0, 0};
        std::size_t first[2] = {end, end};
        std::size_t last[2] = {start, start};
        for (std::size_t i = start; i < end; ++i) {
            if (fate_[i] != Fate::Open) continue;
            const bool strong = !c_[i].heading.weak();
            const bool elsewhere = listedElsewhere(i);
            for (int by = 0; by < 2; ++by) {
                if (by == 1 && !strong) continue;
                ++entries[by];
                if (!elsewhere) continue;
                ++back[by];
                first[by] = std::min(first[by], i);
                last[by] = i;
            }
        }
        const int by = entries[1] >= kContentsRun ? 1 : 0;
        if (entries[by] < kContentsRun || back[by] < 2 ||
            static_cast<double>(back[by]) <
                kContentsComingBack * static_cast<double>(entries[by])) {
            return false;
        }
        for (std::size_t i = fromFirst ? first[by] : start; i <= last[by]; ++i) {
            if (fate_[i] == Fate::Open) fate_[i] = Fate::Contents;
        }
        return true;
    }

    void collectEntries() {
        for (std::size_t i = 0; i < c_.size(); ++i) {
            if (fate_[i] != Fate::Open) continue;
            const HeadingLine& heading = c_[i].heading;
            entries_.push_back({i, keyOf(heading), heading.number, false});
            if (heading.innerWord != 0) {
                entries_.push_back({i,
                                    {HeadingLine::Form::Numbered, heading.innerWord, false},
                                    heading.innerNumber,
                                    true});
            }
        }
    }

    // A heading on a line of its own: short, no sentence in it, and set off
    // from the text by blank lines or by the length of the lines around it.
    bool standsAlone(std::size_t i) const {
        const Candidate& c = c_[i];
        if (c.heading.punctuated || c.heading.characters > kTitleCharacters) return false;
        const auto setOff = [](const LineNote& note) {
            return !note.exists || note.candidate || note.longText;
        };
        return c.blankBefore || c.blankAfter || setOff(c.previous) || setOff(c.next);
    }

    // Sequences of each group: a heading continues the run whose last number
    // is just below its own (a few missing allowed) or the same; otherwise
    // it begins a run (at 1 again under a new volume, or a stray number).
    void acceptSequences() {
        std::map<GroupKey, std::vector<std::size_t>> groups;  // entry indices
        for (std::size_t e = 0; e < entries_.size(); ++e) groups[entries_[e].key].push_back(e);
        std::vector<std::size_t> runOf(entries_.size());
        std::vector<std::vector<std::size_t>> runs;
        for (const auto& [key, members] : groups) {
            std::multimap<std::uint32_t, std::size_t> openRuns;  // last number -> run
            for (std::size_t e : members) {
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
                // author's; never for weak forms, where it is a list's.
                if (chosen == openRuns.end() && !weakKey(key)) chosen = latest(n);
                std::size_t run = runs.size();
                if (chosen != openRuns.end()) {
                    run = chosen->second;
                    openRuns.erase(chosen);
                } else {
                    runs.emplace_back();
                }
                runs[run].push_back(e);
                runOf[e] = run;
                openRuns.emplace(n, run);
            }
        }
        std::vector<bool> accepted(entries_.size(), false);
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            const Entry& entry = entries_[e];
            const HeadingLine& heading = c_[entry.candidate].heading;
            const std::vector<std::size_t>& run = runs[runOf[e]];
            switch (std::get<0>(entry.key)) {
                case HeadingLine::Form::Numbered:
                case HeadingLine::Form::English:
                    accepted[e] = run.size() >= 2 || standsAlone(entry.candidate);
                    break;
                case HeadingLine::Form::Named:
                    accepted[e] = standsAlone(entry.candidate);
                    break;
                default: {
                    const bool volumes = heading.volume();
                    if (run.size() < (volumes ? 2u : 3u) || !spacedApart(run)) break;
                    accepted[e] =
                        !heading.punctuated || std::get<0>(entry.key) == HeadingLine::Form::Titled;
                    break;
                }
            }
        }
        // A candidate is a heading when its own number is.
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            if (entries_[e].inner) continue;
            const bool inner = e + 1 < entries_.size() && entries_[e + 1].inner &&
                               entries_[e + 1].candidate == entries_[e].candidate;
            const bool yes = accepted[e] || (inner && accepted[e + 1]);
            fate_[entries_[e].candidate] = yes ? Fate::Accepted : Fate::Rejected;
        }
        acceptedEntry_ = std::move(accepted);
    }

    bool spacedApart(const std::vector<std::size_t>& run) const {
        std::vector<std::uint64_t> spacing;
        for (std::size_t k = 1; k < run.size(); ++k) {
            spacing.push_back(c_[entries_[run[k]].candidate].offset -
                              c_[entries_[run[k - 1]].candidate].offset);
        }
        if (spacing.empty()) return true;
        const auto middle = spacing.begin() + static_cast<std::ptrdiff_t>(spacing.size() / 2);
        std::nth_element(spacing.begin(), middle, spacing.end());
        return *middle >= kListSpacing;
    }

    // Sections: weak forms in a book with chapters of a strong form; a
    // chapter group whose numbers start again after (nearly) every heading
    // of another (第一节 under each 第N章); and a heading with the number and
    // title of the one before of its group (第一章(1), 第一章(2)).
    void markSections() {
        std::map<GroupKey, std::vector<std::size_t>> chapters;  // accepted entries by group
        std::map<GroupKey, std::vector<std::size_t>> all;       // and all of them
        std::size_t strong = 0;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            if (!isChapterGroup(entries_[e].key)) continue;
            all[entries_[e].key].push_back(e);
            // A chapter 1 named on its volume's line only opens the volume: no
            // chapter level for others to be sections of.
            if (!acceptedEntry_[e] || (entries_[e].inner && entries_[e].number <= 1)) continue;
            chapters[entries_[e].key].push_back(e);
            const auto form = std::get<0>(entries_[e].key);
            if (form == HeadingLine::Form::Numbered || form == HeadingLine::Form::English) ++strong;
        }
        // Where strong chapters are a handful against hundreds of weak ones,
        // they are mentions, and the weak ones the book's chapters.
        std::map<GroupKey, bool> section;
        for (const auto& [key, members] : chapters) {
            section[key] =
                weakKey(key) && strong >= kStrongChapters && 4 * strong >= members.size();
        }
        // Whether numbers start again is a matter of all of a group's headings,
        // also those too close together to count as chapters on their own.
        for (const auto& [inner, unused] : chapters) {
            const std::vector<std::size_t>& members = all[inner];
            for (const auto& [outer, others] : chapters) {
                if (inner == outer || section[inner] || members.size() <= others.size()) continue;
                if (startsAgainUnder(members, others)) section[inner] = true;
            }
        }
        std::map<GroupKey, std::size_t> lastOfGroup;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            if (!acceptedEntry_[e]) continue;
            const Entry& entry = entries_[e];
            const auto found = section.find(entry.key);
            bool isSection = found != section.end() && found->second;
            const auto last = lastOfGroup.find(entry.key);
            if (!isSection && last != lastOfGroup.end()) {
                const Entry& before = entries_[last->second];
                const HeadingLine& then = c_[before.candidate].heading;
                const HeadingLine& now = c_[entry.candidate].heading;
                // Numbers alone say nothing of their titles: a slip of the author's.
                isSection = before.number == entry.number && then.titleHash == now.titleHash &&
                            !then.numberOnly && !now.numberOnly && !entry.inner;
            }
            lastOfGroup[entry.key] = e;
            if (isSection) acceptedEntry_[e] = false;
        }
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            if (entries_[e].inner) continue;
            const bool inner = e + 1 < entries_.size() && entries_[e + 1].inner &&
                               entries_[e + 1].candidate == entries_[e].candidate;
            if (fate_[entries_[e].candidate] != Fate::Accepted) continue;
            if (!acceptedEntry_[e] && !(inner && acceptedEntry_[e + 1])) {
                fate_[entries_[e].candidate] = Fate::Section;
            }
        }
    }

    // Whether the numbers of `inner` start again after most headings of `outer`.
    bool startsAgainUnder(const std::vector<std::size_t>& inner,
                          const std::vector<std::size_t>& outer) const {
        std::size_t boundaries = 0;
        std::size_t again = 0;
        std::size_t o = 0;
        for (std::size_t k = 1; k < inner.size(); ++k) {
            const std::size_t from = entries_[inner[k - 1]].candidate;
            const std::size_t to = entries_[inner[k]].candidate;
            bool crossed = false;
            while (o < outer.size() && entries_[outer[o]].candidate < to) {
                crossed = crossed || entries_[outer[o]].candidate > from;
                ++o;
            }
            if (!crossed) continue;
            ++boundaries;
            if (entries_[inner[k]].number <= entries_[inner[k - 1]].number) ++again;
        }
        return boundaries >= 2 && again * 10 >= boundaries * 7;
    }

    // A volume, or a chapter: a line with two numbers is a volume's heading
    // where its volume number is new, and otherwise a chapter that names
    // its volume (第一卷 第二章 …).
    HeadingLevel levelOf(std::size_t i, std::map<GroupKey, std::uint32_t>& lastVolume) const {
        const HeadingLine& heading = c_[i].heading;
        if (!heading.volume()) return HeadingLevel::Chapter;
        const GroupKey key = keyOf(heading);
        const auto last = lastVolume.find(key);
        const bool same = last != lastVolume.end() && last->second == heading.number;
        lastVolume[key] = heading.number;
        const bool innerChapter =
            heading.innerWord != 0 &&
            isChapterGroup({HeadingLine::Form::Numbered, heading.innerWord, false});
        return same && innerChapter ? HeadingLevel::Chapter : HeadingLevel::Volume;
    }

    // Headings with nothing between them but blank lines or one title line
    // make one block; a number alone whose book puts titles above numbers
    // begins its block at its title line.
    BookStructure blocks() {
        BookStructure structure;
        const bool titlesAbove = titlesStandAbove();
        std::map<GroupKey, std::uint32_t> lastVolume;
        std::size_t previous = c_.size();  // the last heading taken
        for (std::size_t i = 0; i < c_.size(); ++i) {
            if (fate_[i] != Fate::Accepted) continue;
            const Candidate& c = c_[i];
            bool joins = previous < c_.size();
            std::uint32_t linesBetween = 0;
            for (std::size_t k = previous + 1; joins && k <= i; ++k) {
                linesBetween += c_[k].linesBetween;
                if (k < i && fate_[k] != Fate::Repeat) ++linesBetween;
            }
            // The one line may be the title of a volume or of a number alone.
            const bool titled = previous < c_.size() &&
                                (c_[previous].heading.volume() || c_[previous].heading.numberOnly);
            joins = joins && (linesBetween == 0 || (titled && linesBetween == 1 &&
                                                    c.linesBetween == 1 && c.previous.titleLike));
            if (!joins) {
                BookStructure::Cut cut{c.offset, c.line, c.charactersBefore, c.bytesBefore};
                if (titlesAbove && c.heading.numberOnly && c.linesBetween >= 1 &&
                    c.previous.titleLike && !c.previous.candidate && !c.next.titleLike) {
                    cut = {c.previous.offset, c.previous.line, c.previous.charactersBefore,
                           c.previous.bytesBefore};
                }
                structure.cuts.push_back(cut);
            }
            structure.headings.push_back({i, levelOf(i, lastVolume), structure.cuts.size() - 1});
            previous = i;
        }
        return structure;
    }

    // Whether the book puts a heading's title on the line above its number:
    // more numbers alone have a title line above them than below them.
    bool titlesStandAbove() const {
        std::size_t above = 0;
        std::size_t below = 0;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            const Candidate& c = c_[i];
            if (fate_[i] != Fate::Accepted || !c.heading.numberOnly) continue;
            if (c.next.titleLike && !c.next.candidate) {
                ++below;
            } else if (c.previous.titleLike && !c.previous.candidate && c.linesBetween >= 1) {
                ++above;
            }
        }
        return above >= 2 && above > 2 * below;
    }

    const std::vector<Candidate>& c_;
    std::uint64_t shortLine_;
    std::vector<Fate> fate_;
    std::vector<Entry> entries_;
    std::vector<bool> acceptedEntry_;
};

}  // namespace

BookStructure readBookStructure(const std::vector<Candidate>& candidates,
                                std::uint64_t shortLineBytes) {
    return Reader(candidates, shortLineBytes).read();
}

BookStructure everyCandidateAHeading(const std::vector<Candidate>& candidates) {
    BookStructure structure;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        structure.cuts.push_back({c.offset, c.line, c.charactersBefore, c.bytesBefore});
        structure.headings.push_back({i, HeadingLevel::Chapter, i});
    }
    return structure;
}

}  // namespace tovane
