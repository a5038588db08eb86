#include <windows.h>

#include "split/text/gbk_text.h"

namespace tovane {

std::wstring decodeGbk(std::string_view bytes) {
    if (bytes.empty()) return {};
    constexpr UINT kGbk = 936;
    const int size =
        ::MultiByteToWideChar(kGbk, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(kGbk, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

}  // namespace tovane
