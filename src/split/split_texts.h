// Every text the engine and the command line show to the user, in one place:
// the checks' and the run's messages and the status line during and after a
// run. The windows' own texts are in platform/window_texts.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "split/split_types.h"

namespace tovane::texts {

inline constexpr std::string_view kSourceMissing = "要分割的TXT文件路径不正确！";
inline constexpr std::string_view kSaveFolderMissing = "要保存分割后的TXT文件的路径不存在！";
inline constexpr std::string_view kBadSize = "请输入正确的文件大小(KB)！";
inline constexpr std::string_view kBadCount = "请输入正确的分割文件个数！";
inline constexpr std::string_view kBadChapters = "请输入正确的每个文件的章数！";
inline constexpr std::string_view kNoHeadings =
    "没有找到章节标题（例如“第一章”），没有生成分割文件。";
inline constexpr std::string_view kTooManyHeadings =
    "这个文件里像章节标题的行超过了一百万个，不能按章节分割。";
inline constexpr std::string_view kOutOfMemory = "内存不足，无法分割。";

std::string progress(std::string_view baseName);
// The progress text with how far the run has come and the part it writes.
std::string progressAt(std::string_view baseName, unsigned percent, std::uint64_t part);
std::string summary(std::string_view baseName, std::uint64_t parts, std::string_view perPart,
                    std::string_view unit = "KB", bool atMost = false);
std::string emptySource(std::string_view baseName);
std::string interrupted(std::string_view baseName, std::uint64_t completedParts);
std::string cancelled(std::string_view baseName, std::uint64_t completedParts);

// The status line after a run that passed its checks.
std::string statusAfter(const SplitOutcome& outcome, const SplitPlan& plan);

std::string cannotRead(std::string_view path, int error);
std::string cannotCreate(std::string_view path, int error);
std::string cannotWrite(std::string_view path, int error);
std::string partIsSource(std::string_view path);
std::string anotherRunWrites(std::string_view baseName);
std::string baseNameNotPlain(std::string_view baseName);
std::string badHeadingRule(std::string_view problem);
std::string partsLeftFromBefore(std::string_view firstName, std::uint64_t count);
std::string sourceChanged(std::string_view path);
std::string capTooSmall(std::uint64_t smallestBytes);
// The last line of a list of chapters.
std::string chapterTotals(std::uint64_t chapters, std::uint64_t perPart, std::uint64_t parts);
// The summary couldn't be written out (command line).
std::string cannotShowResult(int error);

// The system's reason for an errno value, in Chinese where we know it.
std::string systemReason(int error);

}  // namespace tovane::texts
