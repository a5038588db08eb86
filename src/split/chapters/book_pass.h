// The one pass over a book before a split by chapters: every line that reads
// as a heading becomes a candidate, and so does a title on a line of its own
// where something marks it (blank lines before it, a site's date stamp or an
// author under it, a site's banner above it, the front of the book, or an
// entry of the contents at the front that lists it); each with what stands
// around it and, when asked, how many characters come before it. Lines are
// looked at only as far as that takes: most are passed over on their first
// bytes, and only short lines are decoded. A line is settled when the line
// with text after it has been seen: one line is held, in a buffer of its own.
// A large book is read by two threads at once: past the front, a second
// pass reads its second half, warmed up on the lines just before it, and
// its candidates join the first's, their measures counted on from where the
// first stopped.
#pragma once

#include <array>
#include <bitset>
#include <functional>
#include <limits>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "split/chapters/book_structure.h"
#include "split/line_source.h"
#include "split/problem.h"

namespace tovane {

class BookPass {
public:
    // The pass over `source`, open and in `format` (as `path`, for messages).
    BookPass(std::shared_ptr<SourceFile> source, const SourceFormat& format, std::string path,
             std::shared_ptr<const HeadingPattern> pattern, bool measure,
             const std::atomic<bool>* stopRequested);

    // Bytes of the file read so far are added to `counter` as the pass goes,
    // for showing how far it has come.
    void countReadInto(std::atomic<std::uint64_t>* counter) { readCounter_ = counter; }

    enum class Result { Done, Failed, Stopped };
    Result run();
    ~BookPass();

    const Candidates& candidates() const { return candidates_; }
    const BookMeasures& measures() const { return measures_; }
    // The measures of the whole file (see Candidate).
    std::uint64_t totalCharacters() const { return characters_; }
    std::uint64_t totalBytes() const { return bytes_; }
    FileIdentity identity() const { return file_->identity(); }
    const FileStamp& stamp() const { return file_->stampAtOpen(); }
    std::uint64_t byteOrderMark() const { return source_.format().mark().size(); }
    // The words of a candidate's line, UTF-8, blanks at its ends left off.
    std::string textOf(const Candidate& candidate);
    const Problem& problem() const { return problem_; }

private:
    struct TextLine;
    // The titles at the front of the book, by the hash of their bytes: an
    // entry of its contents is one of them; and their first two bytes.
    struct FrontTitles {
        std::unordered_set<std::uint64_t> keys;
        std::bitset<0x10000> openings;
    };
    // The pass over the second half of `first`'s book, from the line
    // starting at `warmUp` on, counting from `from` on.
    BookPass(BookPass& first, std::uint64_t warmUp, std::uint64_t from);
    Result scan(const std::function<void()>& frontRead);
    bool stopped() const;
    std::uint64_t lineStartFrom(std::uint64_t at);
    Result join(BookPass& second, Result result);
    std::string_view bytesOf(const TextLine& line) const;
    const LineNote& noteOf(TextLine& line);
    const std::optional<HeadingLine>& titleOf(TextLine& line);
    bool keep(const Candidate& candidate);
    bool settle(TextLine& line, TextLine* before, TextLine* after);
    void measureWrap();
    void heardRead(std::uint64_t at);

    std::shared_ptr<SourceFile> file_;
    const std::string path_;
    std::shared_ptr<const HeadingPattern> pattern_;
    const bool measure_;
    const std::atomic<bool>* stopRequested_;
    std::uint64_t releases_ = 0;  // times the source moved on to another room
    std::atomic<std::uint64_t>* readCounter_ = nullptr;
    std::uint64_t readTo_ = 0;  // how far the source had read when last heard
    LineSource source_;
    std::unique_ptr<HeadingReader> reader_;
    Candidates candidates_;
    BookMeasures measures_;
    FrontTitles ownFront_;
    FrontTitles* front_ = &ownFront_;  // a second pass reads the first's
    std::uint64_t frontBytes_ = 0;
    // A second pass reads from a line before `from_` to warm up, and counts
    // from there; the first stops at `until_`, where the second counts from.
    std::uint64_t from_ = 0;
    std::uint64_t until_ = std::numeric_limits<std::uint64_t>::max();
    const std::atomic<bool>* alsoStop_ = nullptr;  // the first's call to stop
    std::atomic<bool> abandoned_{false};           // set when a second isn't wanted
    // The lines, bytes and characters before `from_`.
    std::uint64_t linesAtFrom_ = 0;
    std::uint64_t bytesAtFrom_ = 0;
    std::uint64_t charactersAtFrom_ = 0;
    std::uint64_t lineNumber_ = 0;
    std::uint64_t titleBytes_ = 0;  // the longest line a title can be
    // Since the candidate before: the lines with text and the longest.
    std::uint32_t linesBetween_ = 0;
    std::uint32_t longestBetween_ = 0;
    // The candidate seen last, kept or not, and the lines with text since:
    // a run of candidates of one weak form close together is a list, and
    // copies of one heading with nothing between are one.
    struct LastSeen {
        bool exists = false;
        HeadingLine::Form form = HeadingLine::Form::Numbered;
        char32_t word = 0;
        bool chineseNumber = false;
        std::uint64_t textHash = 0;
        std::uint64_t bytesBefore = 0;
    } lastSeen_;
    std::uint32_t linesSinceSeen_ = 0;
    std::size_t listRun_ = 0;
    std::size_t sameRun_ = 0;
    // How many lines with text have each length in bytes, up to the longest
    // a wrapped book's lines have.
    std::array<std::uint32_t, 512> lengths_{};
    std::uint64_t characters_ = 0;  // of the lines so far, each with the two of a CR LF
    std::uint64_t bytes_ = 0;       // of the lines so far as parts hold them
    Problem problem_;
};

}  // namespace tovane
