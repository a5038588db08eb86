#include "split/text/codec.h"

namespace tovane {

const Codec& codecOf(Encoding encoding) {
    switch (encoding) {
        case Encoding::Gbk:
            return gbkCodec();
        case Encoding::Big5:
            return big5Codec();
        case Encoding::Utf8:
            return utf8Codec();
        case Encoding::Utf16Le:
            return utf16Codec(false);
        case Encoding::Utf16Be:
            return utf16Codec(true);
    }
    return gbkCodec();
}

std::u32string Codec::decodeLine(std::string_view line) const {
    std::u32string text;
    for (std::size_t at = 0; at < line.size();) text += decode(line, at);
    return text;
}

}  // namespace tovane
