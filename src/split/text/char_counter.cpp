#include "split/text/char_counter.h"

namespace tovane {

namespace {

// Where the bytes of a double-byte encoding stand since the last certain
// character boundary: a lead byte may open a pair (lead, trail) or, in
// GB18030, a four-byte character (lead, digit, lead, digit).
enum DoubleByteState : unsigned {
    kAtBoundary,
    kAfterLead,          // L: a trail makes a pair, a digit may go on to four bytes
    kAfterLeadDigit,     // L D: so far two characters of their own
    kAfterLeadDigitLead  // L D L: a digit makes the four one character, a trail a pair
};

}  // namespace

void CharCounter::feed(std::string_view bytes) {
    bytes_ += bytes.size();
    switch (facts_->form) {
        case CharacterForm::DoubleByte: {
            // Every byte counts as it comes but a trail that closes a pair; the
            // digit that closes a four-byte character takes back the two
            // counted for the digit and lead before it.
            const DoubleByteRanges pairs = facts_->pairs;
            for (char byte : bytes) {
                const auto c = static_cast<unsigned char>(byte);
                const bool lead = pairs.isLead(c);
                switch (doubleByte_) {
                    case kAfterLead:
                    case kAfterLeadDigitLead:
                        if (pairs.isTrail(c)) {
                            doubleByte_ = kAtBoundary;
                            continue;
                        }
                        if (DoubleByteRanges::isDigit(c)) {
                            if (doubleByte_ == kAfterLeadDigitLead) {
                                count_ -= 2;
                                doubleByte_ = kAtBoundary;
                                continue;
                            }
                            doubleByte_ = kAfterLeadDigit;
                            ++count_;
                            continue;
                        }
                        break;
                    case kAfterLeadDigit:
                        if (lead) {
                            doubleByte_ = kAfterLeadDigitLead;
                            ++count_;
                            continue;
                        }
                        break;
                    default:
                        break;
                }
                ++count_;
                doubleByte_ = lead ? kAfterLead : kAtBoundary;
            }
            break;
        }
        case CharacterForm::Utf8: {
            std::uint64_t continuation = 0;
            for (char c : bytes) continuation += (static_cast<unsigned char>(c) & 0xC0) == 0x80;
            count_ += bytes.size() - continuation;
            break;
        }
        case CharacterForm::Utf16:
            break;  // counted from bytes_
    }
}

std::uint64_t CharCounter::count() const {
    if (facts_->form == CharacterForm::Utf16)
        return (bytes_ + 1) / 2;  // an odd last byte is a unit
    return count_;
}

std::uint64_t CharCounter::countLine(TextEncoding encoding, std::string_view line) {
    CharCounter counter(encoding);
    counter.feed(line);
    return counter.count();
}

std::uint64_t CharCounter::lowerBound(TextEncoding encoding, std::uint64_t byteLength) {
    switch (factsOf(encoding).form) {
        case CharacterForm::DoubleByte:
            return (byteLength + 3) / 4;
        case CharacterForm::Utf16:
            return (byteLength + 1) / 2;
        case CharacterForm::Utf8:
            // Only the start of the file was checked to be UTF-8; further on, a
            // run of stray continuation bytes counts as nothing.
            return 0;
    }
    return 0;
}

std::uint64_t CharCounter::upperBound(TextEncoding encoding, std::uint64_t byteLength) {
    if (factsOf(encoding).form == CharacterForm::Utf16) return (byteLength + 1) / 2;
    return byteLength;
}

void CharacterBoundaries::feed(std::string_view bytes) {
    for (char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const std::uint64_t at = fed_++;
        switch (facts_->form) {
            case CharacterForm::DoubleByte: {
                // Boundaries are marked as if every byte that closes no pair
                // were a character; a four-byte character, once complete,
                // takes back those inside it.
                const DoubleByteRanges& pairs = facts_->pairs;
                const bool lead = pairs.isLead(c);
                if (doubleByte_ == kAfterLead || doubleByte_ == kAfterLeadDigitLead) {
                    if (pairs.isTrail(c)) {
                        doubleByte_ = kAtBoundary;
                        mark(fed_);
                        break;
                    }
                    if (DoubleByteRanges::isDigit(c) && doubleByte_ == kAfterLeadDigitLead) {
                        doubleByte_ = kAtBoundary;
                        last_ = lastBeforeFourByte_;
                        mark(fed_);
                        break;
                    }
                    if (DoubleByteRanges::isDigit(c)) {
                        doubleByte_ = kAfterLeadDigit;
                        mark(at);
                        mark(fed_);
                        break;
                    }
                } else if (doubleByte_ == kAfterLeadDigit && lead) {
                    doubleByte_ = kAfterLeadDigitLead;
                    mark(at);
                    break;
                }
                mark(at);
                doubleByte_ = lead ? kAfterLead : kAtBoundary;
                if (lead) lastBeforeFourByte_ = last_;
                if (!lead) mark(fed_);
                break;
            }
            case CharacterForm::Utf8:
                if (expected_ > 0 && (c & 0xC0) == 0x80) {
                    if (--expected_ == 0) mark(fed_);
                    break;
                }
                // A new character, or one that breaks off the sequence before it.
                mark(at);
                expected_ = c >= 0xF0 && c < 0xF8   ? 3
                            : c >= 0xE0 && c < 0xF0 ? 2
                            : c >= 0xC0             ? 1
                                                    : 0;
                if (c >= 0xF8) expected_ = 0;
                if (expected_ == 0) mark(fed_);
                break;
            case CharacterForm::Utf16: {
                if (!oddByte_) {
                    oddByte_ = true;
                    firstHalf_ = c;
                    break;
                }
                oddByte_ = false;
                const unsigned unit = facts_->bigEndian ? unsigned{firstHalf_} << 8 | c
                                                        : unsigned{c} << 8 | firstHalf_;
                const bool high = unit >= 0xD800 && unit < 0xDC00;
                const bool low = unit >= 0xDC00 && unit < 0xE000;
                if (pendingHigh_ && low) {
                    pendingHigh_ = false;
                    mark(fed_);
                    break;
                }
                mark(at - 1);  // the unit's start; a lone surrogate is a character of its own
                pendingHigh_ = high;
                if (!high) mark(fed_);
                break;
            }
        }
    }
}

}  // namespace tovane
