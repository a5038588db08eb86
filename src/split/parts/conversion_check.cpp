#include "split/parts/conversion_check.h"

#include <memory>

#include "split/line_source.h"
#include "split/text/utf8_conversion.h"

namespace tovane {

namespace {

constexpr std::size_t kPiece = std::size_t{256} << 10;  // even: UTF-16 units stay whole

// The line, from 1, that holds the byte at `offset`: counted only for the
// message, once a byte that doesn't convert was found.
std::uint64_t lineHolding(const std::shared_ptr<SourceFile>& source, const SourceFormat& format,
                          std::uint64_t offset) {
    LineSource lines(
        source, format, {}, [] { return true; }, {}, nullptr);
    SourceLine line;
    std::uint64_t number = 1;
    while (lines.next(line) && line.offset + line.length + line.terminator <= offset) ++number;
    return number;
}

}  // namespace

// The whole file is converted in pieces without writing anything (lines end
// in ASCII, which is whole in every encoding here, so a byte converts in its
// line as in its piece); the line is counted only for a byte that doesn't.
ConversionCheck checkConversion(const std::shared_ptr<SourceFile>& source, const std::string& path,
                                const SourceFormat& format,
                                const std::atomic<bool>* stopRequested) {
    ConversionCheck check;
    const std::uint64_t start = format.mark().size();
    Utf8Conversion conversion(format.codec());
    const std::unique_ptr<char[]> piece(new char[kPiece]);
    std::uint64_t offset = start;
    bool converts = true;
    while (offset < source->size()) {
        if (stopRequested != nullptr && stopRequested->load(std::memory_order_relaxed)) {
            check.result = ConversionCheck::Result::Stopped;
            return check;
        }
        const std::int64_t got = source->readAt(offset, piece.get(), kPiece);
        if (got < 0) {
            check.result = ConversionCheck::Result::Failed;
            check.problem = Problem::about(Problem::Kind::CannotRead, path, source->error());
            return check;
        }
        if (got == 0) break;  // the file shrank: the split sees that it changed
        if (conversion.convert({piece.get(), static_cast<std::size_t>(got)}, nullptr) < 0) {
            converts = false;
            break;
        }
        offset += static_cast<std::uint64_t>(got);
    }
    if (converts && conversion.heldBack() == 0) return check;
    check.result = ConversionCheck::Result::Unconvertible;
    check.offset = start + (converts ? offset - start - conversion.heldBack() : conversion.badAt());
    check.line = lineHolding(source, format, check.offset);
    return check;
}

}  // namespace tovane
