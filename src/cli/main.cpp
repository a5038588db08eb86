// tovane-split: the split run from a terminal, for scripts and benchmarks.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/terminal_progress.h"
#include "split/chapters/chapter_map.h"
#include "split/io/file_system.h"
#include "split/split_run.h"
#include "split/split_texts.h"
#include "split/ways/ways.h"

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<int> stopStatus{tovane::cli::console::kNoStatus};

// The status of a run that was stopped: the request's, as a shell sees it.
int stoppedStatus() {
    constexpr int kInterrupted = 130;  // SIGINT's
    const int status = stopStatus.load();
    return status != tovane::cli::console::kNoStatus ? status : kInterrupted;
}

int split(const tovane::SplitRequest& request, const tovane::cli::console::Streams& streams) {
    // Ctrl+C, a closed terminal or a polite kill stops the split between two
    // lines, so that the part being written is removed, not left half-written.
    tovane::cli::console::stopOnRequest(stopRequested, stopStatus);
    tovane::cli::TerminalProgress terminal(streams.stderrIsTerminal, streams.stdoutIsTerminal);
    const tovane::SplitCheck check = tovane::checkSplitRequest(request);
    if (!check.plan) {
        terminal.showMessage(check.message);
        return check.usage ? 2 : 1;
    }
    terminal.begin(tovane::texts::progress(check.plan->baseName));
    const tovane::SplitOutcome outcome = tovane::executeSplit(
        *check.plan,
        [&terminal](const tovane::SplitProgress& now) { terminal.progress(now.done, now.total); },
        &stopRequested);
    tovane::cli::console::stopped();
    // A failure is told before the status it leads to; parts left from
    // before are named after the summary.
    using Result = tovane::SplitOutcome::Result;
    const bool done = outcome.result == Result::Done;
    if (!done && !outcome.message.empty()) terminal.showMessage(outcome.message);
    if (!outcome.status.empty()) terminal.showStatus(outcome.status);
    if (done && outcome.format) terminal.showStatus(tovane::texts::encodingRead(*outcome.format));
    if (done && !outcome.message.empty()) terminal.showMessage(outcome.message);
    errno = 0;
    if (!streams.stdoutOpen || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        terminal.showMessage(tovane::texts::cannotShowResult(streams.stdoutOpen ? errno : EBADF));
        return 1;
    }
    if (outcome.result == Result::Stopped) return stoppedStatus();
    return outcome.result == Result::Done || outcome.result == Result::Empty ? 0 : 1;
}

// Whether what was printed reached standard output: 0, or 1.
int written(const tovane::cli::console::Streams& streams);

// Every candidate heading in the order of the file, taken or passed over:
// its line number, the verdict, the reason and its text; then the totals.
int listVerdicts(const tovane::ChapterMap& map, tovane::cli::TerminalProgress& terminal,
                 const tovane::cli::console::Streams& streams) {
    auto passed = map.passedOver.begin();
    const auto show = [&terminal](std::uint64_t line, tovane::HeadingReason reason,
                                  const std::string& text) {
        terminal.showListed({std::to_string(line), std::string(tovane::texts::verdictWord(reason)),
                             std::string(tovane::texts::reasonWord(reason)), text});
    };
    for (const tovane::Chapter& chapter : map.headings) {
        for (; passed != map.passedOver.end() && passed->line < chapter.line; ++passed) {
            show(passed->line, passed->reason, passed->text);
        }
        show(chapter.line, chapter.reason, chapter.text);
    }
    for (; passed != map.passedOver.end(); ++passed) show(passed->line, passed->reason, passed->text);
    terminal.showStatus(tovane::texts::leftOutTotals(map.leftOut));
    terminal.showStatus(tovane::texts::encodingRead(map.format));
    return written(streams);
}

// The chapters a split by chapters would cut at, one a line: the heading's
// line number, the part it goes into with --chapters N, its text, its level
// and its chapter; then the totals.
int listChapters(const tovane::SplitRequest& request, bool why,
                 const tovane::cli::console::Streams& streams) {
    tovane::cli::console::stopOnRequest(stopRequested, stopStatus);
    tovane::cli::TerminalProgress terminal(streams.stderrIsTerminal, streams.stdoutIsTerminal);
    if (!tovane::files::isRegularFile(request.sourcePath)) {
        terminal.showMessage(tovane::texts::kSourceMissing);
        return 1;
    }
    // The parts are those of a split by chapters, counted by the way itself.
    const tovane::SplitWay& way = tovane::wayOf(tovane::SplitMode::ByChapters);
    tovane::WayNumbers numbers;
    if (const tovane::Problem problem = way.read(request.numberText, {}, numbers)) {
        terminal.showMessage(tovane::texts::describe(problem));
        return 2;
    }
    const tovane::ChapterList list = tovane::findChapters(
        request.sourcePath, request.heading, {true, false, why}, &stopRequested, request.encoding);
    tovane::cli::console::stopped();
    if (list.result == tovane::ChapterList::Result::Stopped) return stoppedStatus();
    if (why && list.map) return listVerdicts(*list.map, terminal, streams);
    if (list.result == tovane::ChapterList::Result::Failed || list.empty()) {
        terminal.showMessage(list.problem ? tovane::texts::describe(list.problem)
                                          : std::string(tovane::texts::kNoHeadings));
        return 1;
    }
    const std::vector<std::uint64_t> parts = tovane::partOfEachChapter(way, numbers, *list.map);
    for (const tovane::Chapter& chapter : list.map->headings) {
        terminal.showListed({std::to_string(chapter.line), std::to_string(parts[chapter.block]),
                             chapter.text, tovane::texts::levelWord(chapter.level),
                             std::to_string(chapter.block + 1)});
    }
    terminal.showStatus(
        tovane::texts::chapterTotals(list.map->blocks.size(), numbers.perPart, parts.back()));
    terminal.showStatus(tovane::texts::encodingRead(list.map->format));
    return written(streams);
}

int written(const tovane::cli::console::Streams& streams) {
    return std::fflush(stdout) == 0 && streams.stdoutOpen ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const tovane::cli::console::Streams streams = tovane::cli::console::prepare();
    try {
        using tovane::cli::CommandLine;
        const CommandLine line =
            tovane::cli::parseCommandLine(tovane::cli::console::arguments(argc, argv));
        switch (line.action) {
            case CommandLine::Action::Help:
                std::fputs(tovane::cli::usageText().c_str(), stdout);
                return written(streams);
            case CommandLine::Action::Version:
                std::printf("tovane-split %s\n", TOVANE_VERSION);
                return written(streams);
            case CommandLine::Action::UsageError:
                std::fprintf(stderr, "tovane-split: %s\n\n%s", line.error.c_str(),
                             tovane::cli::usageText().c_str());
                return 2;
            case CommandLine::Action::ListChapters:
                return listChapters(line.request, line.why, streams);
            case CommandLine::Action::Split:
                break;
        }
        return split(line.request, streams);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tovane-split: %s\n", tovane::texts::kOutOfMemory.data());
        return 1;
    }
}
