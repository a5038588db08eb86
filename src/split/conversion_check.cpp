#include "split/conversion_check.h"

#include <memory>

#include "split/line_source.h"
#include "split/split_texts.h"
#include "split/text/utf8_conversion.h"

namespace tovane {

ConversionCheck checkConversion(const std::string& sourcePath,
                                const std::atomic<bool>* stopRequested) {
    ConversionCheck check;
    LineSource source(
        sourcePath, {}, [] { return true; }, {}, stopRequested);
    if (!source.open()) {
        check.result = ConversionCheck::Result::Failed;
        check.message = texts::cannotRead(sourcePath, source.error());
        return check;
    }
    const TextEncoding encoding = source.encoding();
    std::unique_ptr<char[]> scratch;  // for lines longer than a piece
    LineSource::Line line;
    for (std::uint64_t number = 1; source.next(line); ++number) {
        const auto found = [&](std::uint64_t offset) {
            check.result = ConversionCheck::Result::Unconvertible;
            check.line = number;
            check.offset = offset;
            return check;
        };
        std::size_t badAt = 0;
        if (line.inView()) {
            if (Utf8Conversion::lengthOf(encoding, line.view(), badAt) < 0) {
                return found(line.offset + badAt);
            }
            continue;
        }
        const std::size_t piece = LineSource::Options{}.pieceSize;
        if (!scratch) scratch.reset(new char[piece * Utf8Conversion::kGrowth + 8]);
        Utf8Conversion conversion(encoding);
        for (std::uint64_t done = 0; done < line.length;) {
            const std::string_view bytes = source.lineBytes(line, done, line.length - done);
            if (bytes.empty()) break;
            if (conversion.convert(bytes, scratch.get()) < 0) {
                return found(line.offset + conversion.badAt());
            }
            done += bytes.size();
        }
        if (conversion.heldBack() > 0)
            return found(line.offset + line.length - conversion.heldBack());
    }
    switch (source.trouble()) {
        case LineSource::Trouble::None:
        case LineSource::Trouble::Refused:
            return check;
        case LineSource::Trouble::Stopped:
            check.result = ConversionCheck::Result::Stopped;
            return check;
        case LineSource::Trouble::Read:
        case LineSource::Trouble::Changed:
            break;
    }
    check.result = ConversionCheck::Result::Failed;
    check.message = texts::cannotRead(sourcePath, source.error());
    return check;
}

}  // namespace tovane
