#include "split/run_execution.h"

#include <algorithm>
#include <memory>

#include "split/line_splitter.h"
#include "split/parts/as_is_output.h"
#include "split/parts/utf8_output.h"

namespace tovane {

namespace {

using Result = SplitOutcome::Result;

// Hears how far the source was read, and tells it on, never backwards.
class ProgressReport {
public:
    ProgressReport(const ProgressCallback& progress, std::uint64_t total, const PartSink& sink)
        : progress_(progress), total_(total), sink_(sink) {}
    void operator()(std::uint64_t done) {
        done = std::min(done, total_);
        if (!progress_ || done < reported_) return;
        reported_ = done;
        progress_({done, total_, sink_.number()});
    }

private:
    const ProgressCallback& progress_;
    std::uint64_t total_;
    const PartSink& sink_;
    std::uint64_t reported_ = 0;
};

}  // namespace

SplitOutcome executePlan(const RunPlan& plan, const ProgressCallback& progress,
                         const std::atomic<bool>* stopRequested, bool countOnly) {
    PartSink sink(plan.saveFolder, plan.baseName, plan.naming);
    if (countOnly) sink.countOnly();
    std::unique_ptr<OutputStage> stage;
    Utf8Output* converting = nullptr;
    if (plan.toUtf8) {
        auto utf8 = std::make_unique<Utf8Output>(sink, plan.format, plan.source, plan.sourcePath,
                                                 stopRequested);
        converting = utf8.get();
        stage = std::move(utf8);
    } else {
        stage = std::make_unique<AsIsOutput>(sink, plan.format);
    }
    ProgressReport report(progress, plan.source->size(), sink);
    LineSource source(
        plan.source, plan.format, {plan.pieceSize}, [&stage] { return stage->release(); },
        [&report](std::uint64_t done) { report(done); }, stopRequested);
    const ChapterMap* titles = plan.naming.titled ? plan.chapters.get() : nullptr;
    LineSplitter splitter(source, plan.sourcePath, *stage, titles, stopRequested);
    const std::unique_ptr<CutRule> rule = plan.way->makeRule(plan.numbers, splitter, plan.chapters);

    SplitOutcome outcome;
    outcome.format = plan.format;
    // Whatever the sink refuses at the start, it refuses before changing anything.
    if (!sink.begin(plan.source->identity(), stage->output().mark(),
                    rule->partsAtMost(plan.source->size()))) {
        outcome.result = Result::CheckFailed;
        outcome.problem = sink.problem();
        return outcome;
    }
    if (converting != nullptr) converting->begin();
    report(0);
    const LineSplitter::Ended ended = splitter.run(*rule);
    Result result = ended.result;
    Problem problem = ended.problem;
    if (result == Result::Done) {
        // What was read must be what the file held all along.
        if (!stage->release()) {
            result = Result::Failed;
            problem = stage->problem();
        } else if (plan.source->changedSinceOpen()) {
            result = Result::Failed;
            problem = Problem::about(Problem::Kind::SourceChanged, plan.sourcePath);
        }
    }
    stage->linesEnded(result == Result::Done);
    if (!sink.finish(result == Result::Done)) {
        if (!problem) problem = sink.problem();
        result = Result::Failed;
    }
    if (Problem refusal = stage->refusal()) {
        if (refusal.kind == Problem::Kind::Unconvertible) result = Result::CheckFailed;
        problem = std::move(refusal);
    }
    outcome.result = result;
    outcome.parts = sink.published();
    if (result == Result::Done) report(plan.source->size());
    // After a finished run or a stopped one, parts of an earlier run past
    // the last one made are named to the user.
    if (result == Result::Done || result == Result::Stopped) problem = sink.leftFromBefore();
    outcome.problem = std::move(problem);
    return outcome;
}

}  // namespace tovane
