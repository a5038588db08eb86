// A split run from its plan to its outcome: takes the source's lines in
// order, asks the plan's cut rule where each part ends, and hands the lines,
// each ending in CR LF, to the part files. Runs of lines the rule lets
// through go out in one piece, as they stand in the source when they already
// end in CR LF.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "split/chapters/chapter_map.h"
#include "split/conversion_check.h"
#include "split/line_source.h"
#include "split/parts/part_sink.h"
#include "split/rules/cut_rule.h"
#include "split/split_types.h"

namespace tovane {

class LineSplitter {
public:
    struct Options {
        // The size of each piece read from the file (see LineSource).
        std::size_t bufferSize = LineSource::Options{}.pieceSize;
        // Make no file: count the parts the run would make.
        bool countOnly = false;
    };

    // A set `stopRequested` ends the run between two lines (or within a long
    // one), removing the part it was writing.
    LineSplitter(SplitPlan plan, ProgressCallback progress, const std::atomic<bool>* stopRequested,
                 Options options);
    LineSplitter(SplitPlan plan, ProgressCallback progress, const std::atomic<bool>* stopRequested)
        : LineSplitter(std::move(plan), std::move(progress), stopRequested, Options{}) {}
    ~LineSplitter();
    LineSplitter(const LineSplitter&) = delete;
    LineSplitter& operator=(const LineSplitter&) = delete;

    // Splits the whole source. The outcome carries no status text: that is
    // the caller's to choose from the result.
    SplitOutcome run();

private:
    bool begin();
    void checkConversionAlongside();
    PartSink::Clearance conversionChecked(bool wait);
    bool findChapters();
    bool nameParts();
    std::string titleOfPartAt(std::uint64_t offset) const;
    bool cutConverted(const LineSource::Line& line);
    bool takeRun();
    bool place(const LineSource::Line& line);
    bool cut(const LineSource::Line& line);
    bool copy(const LineSource::Line& line, std::uint64_t from, std::uint64_t count);
    SplitOutcome finish();

    bool going();
    CutRule::Part part() const { return {sink_.number(), sink_.written(), sink_.output()}; }
    void reportProgress(std::uint64_t done);
    bool endLines();
    bool failWrite();  // the sink failed: its problem says why
    bool end(SplitOutcome::Result result, Problem problem = {});

    const SplitPlan plan_;
    const Options options_;
    ProgressCallback progress_;
    const std::atomic<bool>* stopRequested_;
    LineSource source_;
    PartSink sink_;
    std::unique_ptr<CutRule> rule_;
    std::shared_ptr<const ChapterMap> chapters_;  // in the ways that cut at chapters
    // The pass that checks every line converts to UTF-8, when the parts are.
    std::atomic<bool> stopConversionCheck_{false};
    std::future<ConversionCheck> conversionCheck_;
    std::optional<ConversionCheck> checked_;
    std::optional<SplitOutcome::Result> ended_;  // set when the lines stop coming
    Problem problem_;
    std::uint64_t reported_ = 0;  // progress already reported
};

}  // namespace tovane
