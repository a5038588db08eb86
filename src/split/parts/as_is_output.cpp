#include "split/parts/as_is_output.h"

#include <algorithm>

namespace tovane {

bool AsIsOutput::write(std::string_view bytes) {
    counted(bytes.size());
    return sink().write(bytes);
}

bool AsIsOutput::writeStaged(std::size_t size) {
    counted(size);
    return sink().writeStaged(size);
}

// The last boundary within the room, from a walk over the bytes up to a
// character's length past it, so that one ending right there is known to.
OutputStage::Fit AsIsOutput::fit(const SourceLine& line, std::uint64_t from, std::uint64_t room,
                                 LineReader& reader) {
    const Codec& codec = source().codec();
    const std::uint64_t most = std::min(room, line.length - from - 1);
    CharacterWalk boundaries(codec, most);
    const std::uint64_t look = std::min(most + codec.longestCharacter(), line.length - from);
    for (std::uint64_t seen = 0; seen < look;) {
        const std::string_view bytes = reader.lineBytes(line, from + seen, look - seen);
        if (bytes.empty()) return {};
        boundaries.feed(bytes);
        seen += bytes.size();
    }
    return {boundaries.lastBoundary(), boundaries.lastBoundary()};
}

}  // namespace tovane
