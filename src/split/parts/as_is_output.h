// Parts in the source's own encoding: every byte goes over as it stands,
// straight from the source's buffer, and a part opens with the source's mark.
#pragma once

#include "split/parts/output_stage.h"

namespace tovane {

class AsIsOutput final : public OutputStage {
public:
    AsIsOutput(PartSink& sink, const SourceFormat& source) : OutputStage(sink, source, source) {}

    bool write(std::string_view bytes) override;
    bool staging(PartWriter::Staging& area) override { return sink().staging(area); }
    bool writeStaged(std::size_t size) override;
    bool release() override { return sink().release(); }
    std::uint64_t lengthOf(const SourceLine& line, LineReader&) override { return line.length; }
    Fit fit(const SourceLine& line, std::uint64_t from, std::uint64_t room,
            LineReader& reader) override;
};

}  // namespace tovane
