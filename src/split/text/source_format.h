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
// when it can't be read. Every reader of a source tells its format with this
// one rule. A byte-order mark decides. Otherwise the head of the file tells:
// the kEncodingSampleSize bytes from its first byte that is NUL or past ASCII
// (its offset rounded down to an even number), since an ASCII preface reads
// the same in every encoding. The head is
// - UTF-8 when it holds a valid sequence of two bytes or more, and at most
//   one ill-formed stretch (a maximal subpart, one U+FFFD where ICU and
//   Python put one) for every 100 of them; a sequence its end cuts off
//   doesn't count;
// - else UTF-16 without a mark, little-endian first, when it holds a NUL and
//   reads as UTF-16 (see readsAsUtf16);
// - else Big5 when, read as GBK, it holds at least 16 of sixty common
//   traditional characters in their Big5 codes, and more than twice as many
//   as of their sixty simplified twins in their GBK codes (readsAsBig5);
// - else GBK, which a file of ASCII alone is.
// With `asked`, the user's choice stands in for what the head would tell,
// and only a mark decides first (the caller then sees whether they agree).
std::optional<SourceFormat> detectFormat(const ReadAt& readAt, std::uint64_t fileSize,
                                         std::optional<Encoding> asked = std::nullopt);
// The same for a file held in memory.
SourceFormat detectFormat(std::string_view wholeFile);

// The choice without a mark, from the head alone.
Encoding detectUnmarkedEncoding(std::string_view head);

// What the head holds as UTF-8: valid sequences of two bytes or more, and
// ill-formed stretches (maximal subparts), a sequence cut off by its end left
// out.
struct Utf8Tally {
    std::size_t valid = 0;
    std::size_t invalid = 0;
};
Utf8Tally tallyUtf8(std::string_view head);

// Read as 16-bit units in that byte order, `head` has no unit 0, at least
// one CR or LF unit, and no more surrogates out of their pairs than one for
// every 1,000 units (one at least; a high one at the very end is allowed, as
// its pair may follow).
bool readsAsUtf16(std::string_view head, bool bigEndian);

// Whether `head`, read as GBK, holds the common characters of traditional
// Chinese in their Big5 codes: at least 16, and more than twice as many as
// the simplified ones in their GBK codes.
bool readsAsBig5(std::string_view head);

}  // namespace tovane
