// Parts that are never larger than a given number of bytes, for upload limits.
#pragma once

#include <cstdint>

#include "split/ways/cut_rule.h"

namespace tovane {

// A part takes the next line while its bytes so far plus the line's bytes and
// the CR LF written after it stay within the cap (the byte-order mark that
// opens every part counts too); the line that would pass it begins the next
// part. A line that no part could hold whole begins a part and is cut at
// character boundaries (never inside a double-byte pair, a UTF-8 sequence
// or a UTF-16 surrogate pair): each piece fills its part to the cap, the
// last goes on with CR LF, and no CR LF is added at a cut, so the parts
// joined give the source with its line ends made CR LF.
class MaxSizeRule : public CutRule {
public:
    MaxSizeRule(LineMeasure& measure, std::uint64_t cap) : measure_(measure), cap_(cap) {}

    bool opensPart(const SourceLine& line, const Part& part) override;
    Run run(std::string_view ahead, std::uint64_t aheadOffset, const Part& part) override;
    std::uint64_t capacity() const override { return cap_; }
    std::uint64_t partsAtMost(std::uint64_t size) const override;

    // The smallest cap that holds any line written in `format`: its
    // byte-order mark, its longest character and CR LF.
    static std::uint64_t smallestCap(const SourceFormat& format);

private:
    LineMeasure& measure_;
    std::uint64_t cap_;
};

}  // namespace tovane
