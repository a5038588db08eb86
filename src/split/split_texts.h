// Every text the engine's work comes to for the user, in one place for the
// command line and the windows: the words of the engine's problems, the
// status line during and after a run, the list of chapters. The engine
// itself makes no text; the windows' own words are in platform/window_texts.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "split/chapters/book_structure.h"
#include "split/problem.h"
#include "split/split_types.h"
#include "split/text/heading_pattern.h"
#include "split/ways/split_way.h"

namespace tovane::texts {

inline constexpr std::string_view kSourceMissing = "要分割的TXT文件路径不正确！";
inline constexpr std::string_view kSaveFolderMissing = "要保存分割后的TXT文件的路径不存在！";
inline constexpr std::string_view kBadSize = "请输入正确的文件大小(KB)！";
inline constexpr std::string_view kBadCount = "请输入正确的分割文件个数！";
inline constexpr std::string_view kBadChapters = "请输入正确的每个文件的章数！";
inline constexpr std::string_view kBadVolumes = "请输入正确的每个文件的卷数！";
inline constexpr std::string_view kNoHeadings =
    "没有找到章节标题（例如“第一章”），没有生成分割文件。";
inline constexpr std::string_view kNoVolumes = "没有找到卷标题（例如“第一卷”），没有生成分割文件。";
inline constexpr std::string_view kTooManyHeadings =
    "这个文件里像章节标题的行超过了一百万个，不能按章节分割。";
inline constexpr std::string_view kOutOfMemory = "内存不足，无法分割。";

// What the engine found wrong, in words: a message box's text, or the
// command line's message.
std::string describe(const Problem& problem);
// What is wrong with a user's heading pattern.
std::string describe(HeadingPattern::Problem problem);

std::string progress(std::string_view baseName);
// The progress text with how far the run has come and the part it writes.
std::string progressAt(std::string_view baseName, unsigned percent, std::uint64_t part);
std::string summary(std::string_view baseName, std::uint64_t parts, std::string_view perPart,
                    std::string_view unit = "KB", bool atMost = false);
std::string emptySource(std::string_view baseName);
std::string interrupted(std::string_view baseName, std::uint64_t completedParts);
std::string cancelled(std::string_view baseName, std::uint64_t completedParts);
// A run refused before it made anything, where the status line held another's summary.
std::string notSplit(std::string_view baseName);

// An encoding as users know it: GBK, Big5, UTF-8, UTF-16 LE, UTF-16 BE.
std::string_view encodingName(Encoding encoding);
// What a run or a list of chapters read the source as: 编码：Big5.
std::string encodingRead(const SourceFormat& format);
// The unit of a way's figure in the summary: KB, 章 or 卷.
std::string_view unitOf(WayNumber number);
// The status line after a run that passed its checks.
std::string statusAfter(const SplitOutcome& outcome, const SplitPlan& plan);

std::string cannotRead(std::string_view path, int error);
std::string cannotCreate(std::string_view path, int error);
std::string cannotWrite(std::string_view path, int error);
std::string cannotWriteFolder(std::string_view folder, int error);
std::string partIsSource(std::string_view path);
// A line of the source that can't be written as UTF-8 without losing bytes.
std::string unconvertible(std::uint64_t line, std::uint64_t offset);
// Bytes that stopped converting while a part was written (the source changed).
std::string cannotConvert(std::string_view path);
std::string anotherRunWrites(std::string_view baseName);
std::string sourceIsLock(std::string_view path);
std::string baseNameNotPlain(std::string_view baseName);
std::string partsLeftFromBefore(std::string_view firstName, std::uint64_t count);
std::string sourceChanged(std::string_view path);
std::string capTooSmall(std::uint64_t smallestBytes);
// A heading's level in a list of chapters: 卷 or 章.
std::string_view levelWord(HeadingLevel level);
// Whether a candidate heading was taken, and the word for why, in a list
// of verdicts.
std::string_view verdictWord(HeadingReason reason);
std::string_view reasonWord(HeadingReason reason);
// The last line of a list of verdicts: the candidates the pass left out.
std::string leftOutTotals(std::uint64_t leftOut);
// The last line of a list of chapters.
std::string chapterTotals(std::uint64_t chapters, std::uint64_t perPart, std::uint64_t parts);
// The summary couldn't be written out (command line).
std::string cannotShowResult(int error);

// The system's reason for an errno value, in Chinese where we know it.
std::string systemReason(int error);

}  // namespace tovane::texts
