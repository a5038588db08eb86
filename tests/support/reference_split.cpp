#include "support/reference_split.h"

#include "split/char_counter.h"
#include "split/text_encoding.h"

namespace tovane::test {

namespace {

bool isUnit(const std::string& data, std::size_t at, std::size_t unit, TextEncoding encoding,
            char c) {
    if (unit == 1) return data[at] == c;
    if (encoding == TextEncoding::Utf16Le) return data[at] == c && data[at + 1] == 0;
    return data[at] == 0 && data[at + 1] == c;
}

}  // namespace

std::vector<std::string> referenceSplit(const std::string& data, std::uint64_t limit) {
    const TextEncoding encoding = detectEncoding(data.substr(0, kEncodingSampleSize), data.size());
    const std::string bom(byteOrderMark(encoding));
    const std::size_t unit = codeUnitSize(encoding);
    std::vector<std::string> parts;
    std::size_t pos = bom.size();
    while (pos < data.size()) {
        std::size_t end = pos;
        while (end + unit <= data.size() && !isUnit(data, end, unit, encoding, '\r') &&
               !isUnit(data, end, unit, encoding, '\n')) {
            end += unit;
        }
        std::string line;
        if (end + unit <= data.size()) {
            line = data.substr(pos, end - pos);
            const bool cr = isUnit(data, end, unit, encoding, '\r');
            pos = end + unit;
            if (cr && pos + unit <= data.size() && isUnit(data, pos, unit, encoding, '\n')) {
                pos += unit;
            }
        } else {
            line = data.substr(pos);
            pos = data.size();
        }
        if (parts.empty() || parts.back().size() + CharCounter::countLine(encoding, line) > limit) {
            parts.push_back(bom);
        }
        parts.back() += line;
        parts.back() += lineBreak(encoding);
    }
    return parts;
}

}  // namespace tovane::test
