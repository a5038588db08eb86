#include "split/conversion_check.h"

#include <memory>

#include "split/io/source_file.h"
#include "split/line_source.h"
#include "split/text/utf8_conversion.h"

namespace tovane {

namespace {

constexpr std::size_t kPiece = std::size_t{256} << 10;  // even: UTF-16 units stay whole

// The line, from 1, that holds the byte at `offset`: counted only for the
// message, once a byte that doesn't convert was found.
std::uint64_t lineHolding(const std::string& sourcePath, std::uint64_t offset) {
    LineSource source(
        sourcePath, {}, [] { return true; }, {}, nullptr);
    if (!source.open()) return 1;
    LineSource::Line line;
    std::uint64_t number = 1;
    while (source.next(line) && line.offset + line.length + line.terminator <= offset) ++number;
    return number;
}

}  // namespace

// The whole file is converted in pieces without writing anything (lines end
// in ASCII, which is whole in every encoding here, so a byte converts in its
// line as in its piece); the line is counted only for a byte that doesn't.
ConversionCheck checkConversion(const std::string& sourcePath,
                                const std::atomic<bool>* stopRequested) {
    ConversionCheck check;
    SourceFile file;
    std::optional<SourceFormat> format;
    if (file.open(sourcePath)) format = file.readFormat();
    if (!format) {
        check.result = ConversionCheck::Result::Failed;
        check.problem = Problem::about(Problem::Kind::CannotRead, sourcePath, file.error());
        return check;
    }
    const std::uint64_t start = format->mark().size();
    Utf8Conversion conversion(format->codec());
    const std::unique_ptr<char[]> piece(new char[kPiece]);
    std::uint64_t offset = start;
    bool converts = true;
    while (offset < file.size()) {
        if (stopRequested != nullptr && stopRequested->load(std::memory_order_relaxed)) {
            check.result = ConversionCheck::Result::Stopped;
            return check;
        }
        const std::int64_t got = file.readAt(offset, piece.get(), kPiece);
        if (got < 0) {
            check.result = ConversionCheck::Result::Failed;
            check.problem = Problem::about(Problem::Kind::CannotRead, sourcePath, file.error());
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
    check.line = lineHolding(sourcePath, check.offset);
    return check;
}

}  // namespace tovane
