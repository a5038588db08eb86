#include "split/conversion_check.h"

#include "split/line_source.h"
#include "split/split_texts.h"

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
    source.convertToUtf8();
    LineSource::Line line;
    for (std::uint64_t number = 1; source.next(line); ++number) {
        std::uint64_t badAt = 0;
        if (source.convertedLength(line, badAt) < 0) {
            check.result = ConversionCheck::Result::Unconvertible;
            check.line = number;
            check.offset = line.offset + badAt;
            return check;
        }
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
