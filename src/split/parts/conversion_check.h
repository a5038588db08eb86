// The pass over a source whose parts are written in UTF-8: every byte must
// convert and convert back to the same bytes, or no part may keep its name.
// It finds the first byte that doesn't, and the line it is in.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "split/io/source_file.h"
#include "split/problem.h"
#include "split/text/source_format.h"

namespace tovane {

struct ConversionCheck {
    enum class Result { Converts, Unconvertible, Failed, Stopped };
    Result result = Result::Converts;
    std::uint64_t line = 0;    // Unconvertible: the line, from 1
    std::uint64_t offset = 0;  // and the file offset of its first byte that doesn't convert
    Problem problem;           // Failed: why the file couldn't be read
};

// Reads `source` (opened as `path`, in `format`) through with positioned
// reads, so that it may go on beside the split that reads the same file.
ConversionCheck checkConversion(const std::shared_ptr<SourceFile>& source, const std::string& path,
                                const SourceFormat& format, const std::atomic<bool>* stopRequested);

}  // namespace tovane
