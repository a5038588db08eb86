// A line of the source as the splitter shows it to a cut rule, and what a
// rule may ask of the source about it: its format and how many characters
// the line holds. The rules see no more of the file than the lines they are
// shown, so none reopens it or reads ahead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "split/text/source_format.h"

namespace tovane {

struct SourceLine {
    const char* bytes = nullptr;  // the line, or nullptr for one longer than a piece
    std::uint64_t offset = 0;     // of its first byte in the file
    std::uint64_t length = 0;     // bytes, without its end
    std::size_t terminator = 0;   // bytes of its end (CR LF, CR or LF); 0 for a last line without
    bool inView() const { return bytes != nullptr; }
    std::string_view view() const { return {bytes, static_cast<std::size_t>(length)}; }
};

// The source reads the file into this many rooms in turn: the bytes it hands
// out from one are overwritten only after kReadRooms - 1 more releases (see
// LineSource), so that they may be written out meanwhile.
inline constexpr std::size_t kReadRooms = 4;

// Reads a line's bytes a piece at a time, from the bytes in view or, for a
// line longer than those, again from the file.
class LineReader {
public:
    virtual ~LineReader() = default;
    // Up to `most` bytes of `line` from `from` on; empty when the lines ended.
    virtual std::string_view lineBytes(const SourceLine& line, std::uint64_t from,
                                       std::uint64_t most) = 0;
};

class LineMeasure {
public:
    virtual ~LineMeasure() = default;
    virtual const SourceFormat& format() const = 0;
    const Codec& codec() const { return format().codec(); }
    // The line's characters; read again from the file for a line not in view.
    virtual std::uint64_t characters(const SourceLine& line) = 0;
    // The format the parts are written in: the source's own, or UTF-8
    // with a mark when they are converted.
    virtual const SourceFormat& outputFormat() const { return format(); }
    bool converted() const { return !(outputFormat() == format()); }
    // The bytes the line takes in the parts, without its end.
    virtual std::uint64_t outputLength(const SourceLine& line) { return line.length; }
};

}  // namespace tovane
