// The one pass over a book before a split by chapters: every line that reads
// as a heading becomes a candidate, with what stands around it (blank lines,
// the lines with text before and after it, how much text came since the
// candidate before) and, when asked, how many characters come before it.
// Lines are looked at only as far as that takes: most are passed over on
// their first bytes, and the lines next to a candidate are decoded.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
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

    const std::vector<Candidate>& candidates() const { return candidates_; }
    // The measures of the whole file (see Candidate).
    std::uint64_t totalCharacters() const { return characters_; }
    std::uint64_t totalBytes() const { return bytes_; }
    // The bytes of a line of 40 characters in the file's encoding.
    std::uint64_t shortLineBytes() const;
    FileIdentity identity() const { return file_->identity(); }
    const FileStamp& stamp() const { return file_->stampAtOpen(); }
    std::uint64_t byteOrderMark() const { return source_.format().mark().size(); }
    // The words of a candidate's line, UTF-8, blanks at its ends left off.
    std::string textOf(const Candidate& candidate);
    const Problem& problem() const { return problem_; }

private:
    bool describeShort(std::string_view bytes, LineNote& note) const;

    std::shared_ptr<SourceFile> file_;
    const std::string path_;
    std::shared_ptr<const HeadingPattern> pattern_;
    const bool measure_;
    const std::atomic<bool>* stopRequested_;
    LineSource source_;
    std::vector<Candidate> candidates_;
    std::uint64_t characters_ = 0;  // of the lines so far, each with the two of a CR LF
    std::uint64_t bytes_ = 0;       // of the lines so far as parts hold them
    Problem problem_;
};

}  // namespace tovane
