// Test text written in UTF-8 and turned into the bytes of another encoding,
// with the system's converter for GBK (as GB18030, its superset).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "split/text/source_format.h"

namespace tovane::test {

// `utf8` in `encoding`, without a byte-order mark.
std::string encode(std::string_view utf8, Encoding encoding);
inline std::string encode(std::string_view utf8, const SourceFormat& format) {
    return encode(utf8, format.encoding);
}

#ifndef _WIN32
// `bytes` converted by the system's iconv; none when it refuses them.
std::optional<std::string> iconvFromTo(const char* from, const char* to, std::string_view bytes);
#endif

}  // namespace tovane::test
