// Parts written in UTF-8 with a mark, whatever the source's encoding, and
// losing no byte: every line must convert, and convert back to the same
// bytes, or no part keeps its name. The parts keep their hidden names until
// every byte was converted on its way into them; a run that would hold back
// too many names has a pass check the rest of the file on a thread of its
// own meanwhile. A byte that doesn't convert is then looked for from the
// file's start, to name its line.
#pragma once

#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "split/io/source_file.h"
#include "split/parts/conversion_check.h"
#include "split/parts/output_stage.h"
#include "split/text/utf8_conversion.h"

namespace tovane {

class Utf8Output final : public OutputStage {
public:
    // `source` is the open file the lines come from (as `path`): the check
    // reads it too. A set `stopRequested` stops the check with the run.
    Utf8Output(PartSink& sink, const SourceFormat& format, std::shared_ptr<SourceFile> source,
               std::string path, const std::atomic<bool>* stopRequested);
    ~Utf8Output() override;

    // Holds the parts' names (not when the sink only counts).
    void begin();

    bool write(std::string_view bytes) override;
    bool staging(PartWriter::Staging& area) override;
    bool writeStaged(std::size_t size) override { return write({scratch_.get(), size}); }
    // Converted bytes are the writer's own: the source's are free at once.
    bool release() override { return true; }
    std::uint64_t lengthOf(const SourceLine& line, LineReader& reader) override;
    Fit fit(const SourceLine& line, std::uint64_t from, std::uint64_t room,
            LineReader& reader) override;

    Problem problem() const override { return problem_ ? problem_ : OutputStage::problem(); }
    Problem refusal() override;
    void linesEnded(bool done) override;

private:
    PartSink::Clearance checked(bool wait, std::size_t waiting);
    void startCheck();
    std::int64_t measure(const SourceLine& line, LineReader& reader);

    std::shared_ptr<SourceFile> source_;
    std::string path_;
    const std::atomic<bool>* stopRequested_;
    Utf8Conversion conversion_;
    std::unique_ptr<char[]> scratch_;  // the source's bytes staged for converting
    Problem problem_;                  // a byte that stopped converting while written
    std::atomic<bool> stopCheck_{false};
    std::future<ConversionCheck> check_;
    std::optional<ConversionCheck> checked_;
    bool linesEnded_ = false;                    // every byte handed in was converted, or refused
    std::uint64_t measuredOffset_ = UINT64_MAX;  // the line measured last, asked for twice
    std::int64_t measuredLength_ = 0;
};

}  // namespace tovane
