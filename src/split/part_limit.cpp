#include "split/part_limit.h"

namespace tovane {

namespace {

__extension__ typedef unsigned __int128 Wide;

// Kept fraction digits; a digit further right can only tip a tie.
constexpr int kMaxScale = 18;
// Integer digits past which a number is larger than any limit we can hold.
constexpr int kMaxIntegerDigits = 20;

struct Decimal {
    Wide mantissa = 0;  // the value times 10^scale
    int scale = 0;
    bool huge = false;    // more integer digits than kMaxIntegerDigits
    bool sticky = false;  // non-zero fraction digits were dropped past kMaxScale
};

Wide powerOfTen(int exponent) {
    Wide value = 1;
    while (exponent-- > 0) value *= 10;
    return value;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<Decimal> parseDecimal(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

    std::string_view integer = text.substr(0, text.find('.'));
    std::string_view fraction;
    if (integer.size() < text.size()) fraction = text.substr(integer.size() + 1);
    if (integer.empty() && fraction.empty()) return std::nullopt;
    for (char c : integer) {
        if (!isDigit(c)) return std::nullopt;
    }
    for (char c : fraction) {
        if (!isDigit(c)) return std::nullopt;
    }

    Decimal result;
    while (!integer.empty() && integer.front() == '0') integer.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (integer.size() > static_cast<std::size_t>(kMaxIntegerDigits)) {
        result.huge = true;
        return result;
    }
    if (fraction.size() > static_cast<std::size_t>(kMaxScale)) {
        result.sticky = true;  // the last digit kept is followed by a non-zero one
        fraction = fraction.substr(0, kMaxScale);
    }
    for (char c : integer) result.mantissa = result.mantissa * 10 + static_cast<unsigned>(c - '0');
    for (char c : fraction) result.mantissa = result.mantissa * 10 + static_cast<unsigned>(c - '0');
    result.scale = static_cast<int>(fraction.size());
    return result;
}

std::uint64_t roundHalfEven(Wide numerator, Wide denominator, bool sticky) {
    Wide quotient = numerator / denominator;
    const Wide twiceRemainder = (numerator % denominator) * 2;
    if (twiceRemainder > denominator ||
        (twiceRemainder == denominator && (sticky || (quotient & 1) != 0))) {
        ++quotient;
    }
    return quotient > kUnlimitedPart ? kUnlimitedPart : static_cast<std::uint64_t>(quotient);
}

}  // namespace

std::optional<std::uint64_t> limitFromSizeText(std::string_view text) {
    const std::optional<Decimal> size = parseDecimal(text);
    if (!size) return std::nullopt;
    // 2^54 KB is already past 2^64 bytes; cap before the product can overflow.
    if (size->huge || size->mantissa / powerOfTen(size->scale) >= (Wide{1} << 54)) {
        return kUnlimitedPart;
    }
    return roundHalfEven(size->mantissa * 1024, powerOfTen(size->scale), size->sticky);
}

std::optional<std::uint64_t> limitFromCountText(std::string_view text, std::uint64_t fileSize) {
    const std::optional<Decimal> count = parseDecimal(text);
    if (!count || (!count->huge && count->mantissa == 0 && !count->sticky)) return std::nullopt;
    if (count->huge) return 0;  // more parts than 10^20: below half a byte each
    if (count->mantissa == 0) return kUnlimitedPart;  // a count of 10^-18 or less
    return roundHalfEven(Wide{fileSize} * powerOfTen(count->scale), count->mantissa, false);
}

std::optional<std::uint64_t> mostPartsFromCountText(std::string_view text) {
    const std::optional<Decimal> count = parseDecimal(text);
    if (!count || (!count->huge && count->mantissa == 0 && !count->sticky)) return std::nullopt;
    if (count->huge) return kUnlimitedPart;
    const Wide unit = powerOfTen(count->scale);
    const Wide most = count->mantissa / unit + (count->mantissa % unit != 0 || count->sticky ? 1 : 0);
    return most > kUnlimitedPart ? kUnlimitedPart : static_cast<std::uint64_t>(std::max<Wide>(most, 1));
}

std::optional<std::uint64_t> wholeNumberFromText(std::string_view text) {
    if (text.find('.') != std::string_view::npos) return std::nullopt;
    const std::optional<Decimal> number = parseDecimal(text);
    if (!number || number->huge || number->mantissa > kUnlimitedPart) return std::nullopt;
    return static_cast<std::uint64_t>(number->mantissa);
}

std::uint64_t limitInKilobytes(std::uint64_t limit) {
    return roundHalfEven(limit, 1024, false);
}

}  // namespace tovane
