// What a source file is written in: its encoding, and whether it opens with
// the encoding's byte-order mark (which every part then opens with too).
// Told once for a run from the file's first bytes, by the one rule here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "split/text/codec.h"

namespace tovane {

struct SourceFormat {
    Encoding encoding = Encoding::Gbk;
    bool marked = false;  // the file opens with the encoding's byte-order mark

    const Codec& codec() const { return codecOf(encoding); }
    // What opens the file and every part written in its encoding.
    std::string_view mark() const { return marked ? codec().byteOrderMark() : std::string_view(); }
    bool operator==(const SourceFormat&) const = default;
};

// How many bytes of the source are looked at to tell the encoding.
inline constexpr std::size_t kEncodingSampleSize = 64 * 1024;

// Reads up to `size` bytes of the source at `offset` into `into`: the count,
// fewer only at the end of the file, or -1 when it can't.
using ReadAt = std::function<std::int64_t(std::uint64_t offset, char* into, std::size_t size)>;

// The format of a file of `fileSize` bytes, read through `readAt`; nothing
// when it can't be read. A byte-order mark decides. Otherwise the sample is
// the kEncodingSampleSize bytes from the first byte that is NUL or past
// ASCII (its offset rounded down to an even number), since an ASCII preface
// reads the same in every encoding: UTF-16 without a mark (little-endian
// first) when the sample holds a NUL, isn't UTF-8 with a byte past ASCII and
// reads as UTF-16 (see readsAsUtf16); else UTF-8 when it is valid UTF-8 with
// a byte past ASCII; else GBK, which a file of ASCII alone is. Every reader
// of a source tells its format with this one function.
std::optional<SourceFormat> detectFormat(const ReadAt& readAt, std::uint64_t fileSize);
// The same for a file held in memory.
SourceFormat detectFormat(std::string_view wholeFile);

// The choice without a mark, from the sample alone; `moreFollows`: the file
// goes on past the sample, so a UTF-8 sequence it cuts off is allowed.
Encoding detectUnmarkedEncoding(std::string_view sample, bool moreFollows);

// Read as 16-bit units in that byte order, `sample` has no unit 0, no
// surrogate out of its pair (a high one at the very end is allowed, as its
// pair may follow) and at least one CR or LF unit.
bool readsAsUtf16(std::string_view sample, bool bigEndian);

}  // namespace tovane
