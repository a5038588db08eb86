// Test text written in UTF-8 and turned into the bytes of another encoding,
// with the system's converter for GBK (as GB18030, its superset).
#pragma once

#include <string>
#include <string_view>

#include "split/text/text_encoding.h"

namespace tovane::test {

// `utf8` in `encoding`, without a byte-order mark.
std::string encode(std::string_view utf8, TextEncoding encoding);

}  // namespace tovane::test
