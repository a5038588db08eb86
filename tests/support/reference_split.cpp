#include "support/reference_split.h"

#include <algorithm>

#include "split/text/source_format.h"

namespace tovane::test {

namespace {

bool isUnit(const std::string& data, std::size_t at, std::size_t unit, const Codec& codec, char c) {
    if (unit == 1) return data[at] == c;
    if (!codec.bigEndian()) return data[at] == c && data[at + 1] == 0;
    return data[at] == 0 && data[at + 1] == c;
}

// The source's lines, without their terminators, and what the parts open with.
struct Lines {
    const Codec* codec;
    std::string bom;
    std::vector<std::string> lines;
};

Lines splitLines(const std::string& data) {
    Lines result;
    const SourceFormat format = detectFormat(data);
    const Codec& encoding = format.codec();
    result.codec = &encoding;
    result.bom = format.mark();
    const std::size_t unit = encoding.unit();
    std::size_t pos = result.bom.size();
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
        result.lines.push_back(std::move(line));
    }
    return result;
}

// Bytes of the character at text[at]: a lead byte with the trail or
// continuation bytes that may follow it, a UTF-16 unit or surrogate pair.
std::size_t characterLength(const std::string& text, std::size_t at, const Codec& codec) {
    const auto byte = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned first = byte(at);
    const auto isLead = [](unsigned c) { return c >= 0x81 && c <= 0xFE; };
    const auto isTrail = [](unsigned c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; };
    switch (codec.encoding()) {
        case Encoding::Big5:
            return isLead(first) && at + 1 < text.size() && isTrail(byte(at + 1)) ? 2 : 1;
        case Encoding::Gbk:
            if (isLead(first) && byte(at + 1) >= 0x30 && byte(at + 1) <= 0x39 &&
                isLead(byte(at + 2)) && byte(at + 3) >= 0x30 && byte(at + 3) <= 0x39) {
                return 4;
            }
            return isLead(first) && at + 1 < text.size() && isTrail(byte(at + 1)) ? 2 : 1;
        case Encoding::Utf8: {
            const std::size_t length = first >= 0xF8   ? 1
                                       : first >= 0xF0 ? 4
                                       : first >= 0xE0 ? 3
                                       : first >= 0xC0 ? 2
                                                       : 1;
            std::size_t n = 1;
            while (n < length && at + n < text.size() && (byte(at + n) & 0xC0) == 0x80) ++n;
            return n;
        }
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            if (at + 1 >= text.size()) return 1;
            const bool little = !codec.bigEndian();
            const auto unit = [&](std::size_t i) {
                return little ? byte(i + 1) << 8 | byte(i) : byte(i) << 8 | byte(i + 1);
            };
            const unsigned u = unit(at);
            if (u >= 0xD800 && u < 0xDC00 && at + 3 < text.size()) {
                const unsigned low = unit(at + 2);
                if (low >= 0xDC00 && low < 0xE000) return 4;
            }
            return 2;
        }
    }
    return 1;
}

}  // namespace

std::vector<std::string> referenceMaxSizeSplit(const std::string& data, std::uint64_t cap) {
    const Lines source = splitLines(data);
    const std::string lineEnd(source.codec->lineBreak());
    std::vector<std::string> parts;
    for (const std::string& line : source.lines) {
        if (parts.empty() || (parts.back().size() > source.bom.size() &&
                              parts.back().size() + line.size() + lineEnd.size() > cap)) {
            parts.push_back(source.bom);
        }
        std::size_t at = 0;  // the rest of the line, cut while it can't go whole
        while (line.size() - at + lineEnd.size() > cap - parts.back().size()) {
            const std::size_t most =
                std::min<std::size_t>(cap - parts.back().size(), line.size() - at - 1);
            std::size_t piece = 0;
            while (true) {
                const std::size_t next = characterLength(line, at + piece, *source.codec);
                if (piece + next > most) break;
                piece += next;
            }
            parts.back() += line.substr(at, piece);
            at += piece;
            parts.push_back(source.bom);
        }
        parts.back() += line.substr(at) + lineEnd;
    }
    return parts;
}

std::vector<std::string> referenceSplit(const std::string& data, std::uint64_t limit) {
    const Lines source = splitLines(data);
    std::vector<std::string> parts;
    for (const std::string& line : source.lines) {
        if (parts.empty() || parts.back().size() + source.codec->countCharacters(line) > limit) {
            parts.push_back(source.bom);
        }
        parts.back() += line;
        parts.back() += source.codec->lineBreak();
    }
    return parts;
}

std::vector<std::string> referenceChapterSplit(const std::string& data, SplitMode mode,
                                               std::uint64_t limit, std::uint64_t chaptersPerPart,
                                               const std::vector<std::uint64_t>& headingLines) {
    const Lines source = splitLines(data);
    const std::size_t count = source.lines.size();
    std::vector<bool> heading(count);
    for (std::uint64_t line : headingLines) heading.at(line - 1) = true;
    if (std::find(heading.begin(), heading.end(), true) == heading.end()) return {};
    std::vector<std::string> parts;
    std::uint64_t chapters = 0;
    for (std::size_t i = 0; i < count; ++i) {
        bool newPart = parts.empty();
        if (!newPart && heading[i] && mode == SplitMode::ByChapters) {
            newPart = chapters == chaptersPerPart;
        } else if (!newPart && heading[i]) {
            // The chapter: this line and the rest up to the next heading.
            std::uint64_t characters = 0;
            for (std::size_t k = i; k < count && (k == i || !heading[k]); ++k) {
                characters += source.codec->countCharacters(source.lines[k]) + (k > i ? 2 : 0);
            }
            newPart = parts.back().size() + characters > limit;
        }
        if (newPart) {
            parts.push_back(source.bom);
            chapters = 0;
        }
        if (heading[i]) ++chapters;
        parts.back() += source.lines[i];
        parts.back() += source.codec->lineBreak();
    }
    return parts;
}

}  // namespace tovane::test
