// The split's loop: takes the source's lines in order, asks the way's rule
// where each part ends, and hands the lines, each ending in CR LF, to the
// output stage. Runs of lines the rule lets through go out in one piece, as
// they stand in the source when they already end in CR LF. A line too long
// for any part is cut where the stage says it fits. The rule measures lines
// through the loop, which reads them from the source.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "split/chapters/chapter_map.h"
#include "split/line_measure.h"
#include "split/line_source.h"
#include "split/parts/output_stage.h"
#include "split/problem.h"
#include "split/split_types.h"
#include "split/ways/cut_rule.h"

namespace tovane {

class LineSplitter final : public LineMeasure {
public:
    // The lines of `source` (`sourcePath`, for messages). `titles`: the
    // chapters whose headings name the parts they open, or null. A set
    // `stopRequested` ends the run between two lines (or within a long one).
    LineSplitter(LineSource& source, const std::string& sourcePath, OutputStage& stage,
                 const ChapterMap* titles, const std::atomic<bool>* stopRequested)
        : source_(source),
          sourcePath_(sourcePath),
          stage_(stage),
          titles_(titles),
          stopRequested_(stopRequested) {}

    // How the lines ended: all of them written (Done, or Empty for a source
    // without one), or why not.
    struct Ended {
        SplitOutcome::Result result = SplitOutcome::Result::Failed;
        Problem problem;
    };
    Ended run(CutRule& rule);

    const SourceFormat& format() const override { return source_.format(); }
    const SourceFormat& outputFormat() const override { return stage_.output(); }
    std::uint64_t characters(const SourceLine& line) override { return source_.characters(line); }
    std::uint64_t outputLength(const SourceLine& line) override {
        return stage_.lengthOf(line, source_);
    }

private:
    bool takeRun();
    bool place(const SourceLine& line);
    bool cut(const SourceLine& line);
    bool copy(const SourceLine& line, std::uint64_t from, std::uint64_t count);
    bool nextPart(std::uint64_t offset);
    CutRule::Part part() const;
    bool going();
    bool endLines();
    bool failWrite();  // the stage failed: it says why
    bool end(SplitOutcome::Result result, Problem problem = {});

    LineSource& source_;
    const std::string& sourcePath_;
    OutputStage& stage_;
    const ChapterMap* titles_;
    const std::atomic<bool>* stopRequested_;
    CutRule* rule_ = nullptr;
    std::optional<Ended> ended_;  // set when the lines stop coming
};

}  // namespace tovane
