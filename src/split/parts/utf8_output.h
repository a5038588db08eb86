// Parts written in UTF-8 with a mark, whatever the source's encoding, and
// losing no byte: every line must convert, and convert back to the same
// bytes. A pass over the whole file checks that on a thread of its own while
// the parts are written under their hidden names; the first part to be named
// waits for it, and if a byte doesn't convert no part keeps its name.
// Converting takes this core and the system's copy into the files another:
// each part ends on a thread of its own.
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

    // Starts the check beside the run (not when the sink only counts).
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
    void abandon() override;

private:
    PartSink::Clearance checked(bool wait);
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
    std::uint64_t measuredOffset_ = UINT64_MAX;  // the line measured last, asked for twice
    std::int64_t measuredLength_ = 0;
};

}  // namespace tovane
