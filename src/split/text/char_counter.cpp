#include "split/text/char_counter.h"

namespace tovane {

void CharCounter::feed(std::string_view bytes) {
    bytes_ += bytes.size();
    switch (encoding_) {
        case TextEncoding::Gbk: {
            // A lead byte counts as the character; its trail, if one follows, is
            // swallowed. Anything else after a lead is a character of its own.
            for (char byte : bytes) {
                const auto c = static_cast<unsigned char>(byte);
                if (pendingLead_ && isGbkTrail(c)) {
                    pendingLead_ = false;
                    continue;
                }
                ++count_;
                pendingLead_ = isGbkLead(c);
            }
            break;
        }
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: {
            std::uint64_t continuation = 0;
            for (char c : bytes) continuation += (static_cast<unsigned char>(c) & 0xC0) == 0x80;
            count_ += bytes.size() - continuation;
            break;
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            break;  // counted from bytes_
    }
}

std::uint64_t CharCounter::count() const {
    if (codeUnitSize(encoding_) == 2) return (bytes_ + 1) / 2;  // an odd last byte is a unit
    return count_;
}

std::uint64_t CharCounter::countLine(TextEncoding encoding, std::string_view line) {
    CharCounter counter(encoding);
    counter.feed(line);
    return counter.count();
}

std::uint64_t CharCounter::lowerBound(TextEncoding encoding, std::uint64_t byteLength) {
    switch (encoding) {
        case TextEncoding::Gbk:
            return (byteLength + 1) / 2;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return (byteLength + 1) / 2;
        // Only the start of the file was checked to be UTF-8; further on, a run
        // of stray continuation bytes counts as nothing.
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            return 0;
    }
    return 0;
}

std::uint64_t CharCounter::upperBound(TextEncoding encoding, std::uint64_t byteLength) {
    if (codeUnitSize(encoding) == 2) return (byteLength + 1) / 2;
    return byteLength;
}

}  // namespace tovane
