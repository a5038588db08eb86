// Every text the engine and the command line show to the user, in one place:
// the checks' and the run's messages and the status line during and after a
// run. The windows' own texts are in platform/window_texts.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "split/chapters/book_structure.h"
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

// What is wrong with a user's heading pattern.
namespace pattern {
inline constexpr std::string_view kTooComplex = "标题规则太复杂";
inline constexpr std::string_view kTooLong = "标题规则太长（最多 1000 个字符）";
inline constexpr std::string_view kUnbalanced = "括号不配对";
inline constexpr std::string_view kUnbalancedClass = "方括号不配对";
inline constexpr std::string_view kNothingToRepeat = "量词前面没有可以重复的内容";
inline constexpr std::string_view kStackedQuantifiers =
    "量词不能接着另一个量词（例如 a** 或 a{2}{3}）";
inline constexpr std::string_view kCountsOutOfOrder = "{} 里的次数顺序不对";
inline constexpr std::string_view kLookaround = "不支持先行或后行断言（(?= (?! (?<= (?<!）";
inline constexpr std::string_view kBadGroup = "( 后面的 ? 用得不对";
inline constexpr std::string_view kBadGroupName =
    "分组的名字不对（要有名字，不能重复，只能用字母、数字、_ 和 $）";
inline constexpr std::string_view kBackReferenceByName = "不支持反向引用（\\k<名字>）";
inline constexpr std::string_view kBackReference = "不支持反向引用（\\1 这样的写法）";
inline constexpr std::string_view kLoneBackslash = "\\ 后面缺少字符";
inline constexpr std::string_view kNulBeforeDigit = "\\0 后面不能跟数字";
inline constexpr std::string_view kBadHex = "\\x 后面要有两位、\\u 后面要有四位十六进制数字";
inline constexpr std::string_view kBadCodePoint = "\\u{…} 写得不对";
inline constexpr std::string_view kCodePointTooLarge = "\\u{…} 超出了 Unicode 的范围";
inline constexpr std::string_view kBadControl = "\\c 后面要跟一个英文字母";
inline constexpr std::string_view kBadRange = "方括号里的范围写得不对";
inline constexpr std::string_view kRangeOutOfOrder = "方括号里的范围顺序不对";
}  // namespace pattern

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
std::string cannotWriteFolder(std::string_view folder, int error);
std::string partIsSource(std::string_view path);
// A line of the source that can't be written as UTF-8 without losing bytes.
std::string unconvertible(std::uint64_t line, std::uint64_t offset);
// Bytes that stopped converting while a part was written (the source changed).
std::string cannotConvert(std::string_view path);
std::string anotherRunWrites(std::string_view baseName);
std::string sourceIsLock(std::string_view path);
std::string baseNameNotPlain(std::string_view baseName);
std::string badHeadingRule(std::string_view problem);
std::string partsLeftFromBefore(std::string_view firstName, std::uint64_t count);
std::string sourceChanged(std::string_view path);
std::string capTooSmall(std::uint64_t smallestBytes);
// A heading's level in a list of chapters: 卷 or 章.
std::string_view levelWord(HeadingLevel level);
// The last line of a list of chapters.
std::string chapterTotals(std::uint64_t chapters, std::uint64_t perPart, std::uint64_t parts);
// The summary couldn't be written out (command line).
std::string cannotShowResult(int error);

// The system's reason for an errno value, in Chinese where we know it.
std::string systemReason(int error);

}  // namespace tovane::texts
