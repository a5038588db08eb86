// The encodings a source file can be in, how one is recognised from the
// file's first bytes, and what that means for lines and character counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tovane {

enum class TextEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// How many bytes of the source are looked at to tell UTF-8 from GBK.
inline constexpr std::size_t kEncodingSampleSize = 64 * 1024;

// Decides the encoding from the first bytes of a file. `sample` holds the
// first min(kEncodingSampleSize, fileSize) bytes; `fileSize` tells whether the
// sample is the whole file (a UTF-8 sequence cut off at the sample's end is
// only allowed when more of the file follows).
TextEncoding detectEncoding(std::string_view sample, std::uint64_t fileSize);

// The byte-order mark that opens every part of a source in this encoding.
std::string_view byteOrderMark(TextEncoding encoding);

// Bytes of one code unit: lines end at a CR unit, written line ends are units.
std::size_t codeUnitSize(TextEncoding encoding);

// CR LF as written after every line, in the encoding's units and byte order.
std::string_view lineBreak(TextEncoding encoding);

// GBK: a byte that opens a two-byte character, and one that can close it.
// CR and LF are neither, so a line always starts at a character boundary.
inline bool isGbkLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
inline bool isGbkTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// True when `bytes` is well-formed UTF-8; a sequence cut off by the end of
// `bytes` is accepted only when `allowTruncatedEnd` is set.
bool isValidUtf8(std::string_view bytes, bool allowTruncatedEnd);

}  // namespace tovane
