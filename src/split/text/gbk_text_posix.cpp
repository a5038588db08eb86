#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "split/text/gbk_text.h"

namespace tovane {

std::wstring decodeGbk(std::string_view bytes) {
    // One converter a thread, kept: a user's rule decodes many short lines.
    thread_local iconv_t converter = ::iconv_open("WCHAR_T", "GBK");
    std::wstring text;
    if (converter == reinterpret_cast<iconv_t>(-1)) return text;
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::wstring out(bytes.size() + 1, L'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outAt = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size() * sizeof(wchar_t);
    while (inLeft > 0) {
        if (::iconv(converter, &in, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) break;
        // A byte that is no GBK character: shown as U+FFFD, then on.
        const wchar_t replacement = L'\xFFFD';
        std::memcpy(outAt, &replacement, sizeof replacement);
        outAt += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
    }
    out.resize(out.size() - outLeft / sizeof(wchar_t));
    return out;
}

}  // namespace tovane
