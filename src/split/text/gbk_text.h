// GBK text decoded by the system's own converter (iconv, or Windows code
// page 936), for the few short lines a user's heading rule looks at.
#pragma once

#include <string>
#include <string_view>

namespace tovane {

// `bytes` as wide characters; what doesn't decode becomes U+FFFD.
std::wstring decodeGbk(std::string_view bytes);

}  // namespace tovane
