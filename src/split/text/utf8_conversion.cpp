#include "split/text/utf8_conversion.h"

#include <algorithm>
#include <cstring>

#include "split/text/utf8.h"

namespace tovane {

namespace {

using Kind = Codec::Character::Kind;

std::size_t written(const Codec::Character& c, char* out) {
    return out == nullptr ? utf8::lengthOf(c.value) : utf8::put(c.value, out);
}

}  // namespace

// Converts whole characters from the start of `bytes`, or only measures them
// when `out` is null; `used` says how far it got. A character cut off at
// the end stops it, unless `atEnd`.
std::int64_t Utf8Conversion::convertWhole(std::string_view bytes, char* out, std::size_t& used,
                                          bool atEnd) {
    std::size_t at = 0;
    std::size_t made = 0;
    while (at < bytes.size()) {
        made += from_->toUtf8(bytes, at, out == nullptr ? nullptr : out + made);
        if (at == bytes.size()) break;
        const Codec::Character c = from_->read(bytes, at);
        if (c.kind == Kind::Cut && !atEnd) break;
        if (c.kind != Kind::Whole) {
            badAt_ = at;
            used = at;
            return -1;
        }
        made += written(c, out == nullptr ? nullptr : out + made);
        at += c.length;
    }
    used = at;
    return static_cast<std::int64_t>(made);
}

std::int64_t Utf8Conversion::convert(std::string_view bytes, char* out) {
    std::size_t made = 0;
    std::size_t from = 0;
    if (heldLength_ > 0) {
        // The character held back, finished with the first new bytes.
        char joined[8];
        std::memcpy(joined, held_, heldLength_);
        const std::size_t added = std::min<std::size_t>(bytes.size(), 4);
        std::memcpy(joined + heldLength_, bytes.data(), added);
        const std::string_view start(joined, heldLength_ + added);
        const Codec::Character c = from_->read(start, 0);
        if (c.kind == Kind::Invalid) {
            badAt_ = given_ - heldLength_;
            return -1;
        }
        if (c.kind == Kind::Cut) {
            std::memcpy(held_ + heldLength_, bytes.data(), added);
            heldLength_ += added;
            given_ += bytes.size();
            return 0;
        }
        made = written(c, out);
        from = c.length - heldLength_;
        heldLength_ = 0;
    }
    std::size_t used = 0;
    const std::int64_t produced =
        convertWhole(bytes.substr(from), out == nullptr ? nullptr : out + made, used, false);
    if (produced < 0) {
        badAt_ += given_ + from;
        return -1;
    }
    given_ += bytes.size();
    heldLength_ = bytes.size() - from - used;
    std::memcpy(held_, bytes.data() + from + used, heldLength_);
    return static_cast<std::int64_t>(made) + produced;
}

int Utf8Conversion::characterAt(const Codec& from, std::string_view bytes, std::size_t& length) {
    const Codec::Character c = from.read(bytes, 0);
    if (c.kind != Kind::Whole) return -1;
    length = c.length;
    return static_cast<int>(utf8::lengthOf(c.value));
}

std::int64_t Utf8Conversion::lengthOf(const Codec& from, std::string_view line,
                                      std::size_t& badAt) {
    Utf8Conversion measure(from);
    std::size_t used = 0;
    const std::int64_t length = measure.convertWhole(line, nullptr, used, true);
    if (length < 0) badAt = static_cast<std::size_t>(measure.badAt_);
    return length;
}

}  // namespace tovane
