// The one pass over a book before a split by chapters: every line that reads
// as a heading becomes a candidate, and so does a title on a line of its own
// where something marks it (blank lines before it, a site's date stamp or an
// author under it, a site's banner above it, the front of the book, or an
// entry of the contents at the front that lists it); each with what stands
// around it and, when asked, how many characters come before it. Lines are
// looked at only as far as that takes: most are passed over on their first
// bytes, and only short lines are decoded. A line is settled when the line
// with text after it has been seen: one line is held, in a buffer of its own.
#pragma once

#include <array>
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

    enum class Result { Done, Failed, Stopped };
    Result run();

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
    const LineNote& noteOf(TextLine& line);
    const std::optional<HeadingLine>& titleOf(TextLine& line);
    bool keep(const Candidate& candidate);
    bool settle(TextLine& line, TextLine* before, TextLine* after);
    void measureWrap();

    std::shared_ptr<SourceFile> file_;
    const std::string path_;
    std::shared_ptr<const HeadingPattern> pattern_;
    const bool measure_;
    const std::atomic<bool>* stopRequested_;
    LineSource source_;
    std::unique_ptr<HeadingReader> reader_;
    Candidates candidates_;
    BookMeasures measures_;
    // The words of the titles at the front of the book, by hash: an entry of
    // its contents is one of them.
    std::unordered_set<std::uint64_t> frontTitles_;
    std::uint64_t frontBytes_ = 0;
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
