// The pass over a source before a run that writes its parts in UTF-8: every
// line must convert and convert back to the same bytes, or nothing is
// written at all. It finds the first line that doesn't.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "split/problem.h"

namespace tovane {

struct ConversionCheck {
    enum class Result { Converts, Unconvertible, Failed, Stopped };
    Result result = Result::Converts;
    std::uint64_t line = 0;    // Unconvertible: the line, from 1
    std::uint64_t offset = 0;  // and the file offset of its first byte that doesn't convert
    Problem problem;           // Failed: why the file couldn't be read
};

ConversionCheck checkConversion(const std::string& sourcePath,
                                const std::atomic<bool>* stopRequested);

}  // namespace tovane
