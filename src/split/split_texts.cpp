#include "split/split_texts.h"

#include <cerrno>
#include <cstring>

#include "split/io/native_file.h"
#include "split/ways/ways.h"

namespace tovane::texts {

namespace {

std::string join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) text += piece;
    return text;
}

}  // namespace

std::string describe(const Problem& problem) {
    using Kind = Problem::Kind;
    switch (problem.kind) {
        case Kind::None:
            return {};
        case Kind::SourceMissing:
            return std::string(kSourceMissing);
        case Kind::SaveFolderMissing:
            return std::string(kSaveFolderMissing);
        case Kind::BadSize:
            return std::string(kBadSize);
        case Kind::BadCount:
            return std::string(kBadCount);
        case Kind::BadChapters:
            return std::string(kBadChapters);
        case Kind::BadVolumes:
            return std::string(kBadVolumes);
        case Kind::BaseNameNotPlain:
            return baseNameNotPlain(problem.path);
        case Kind::CapTooSmall:
            return capTooSmall(problem.count);
        case Kind::MarkContradictsEncoding:
            return join({"这个文件开头的字节顺序标记表明它是 ", encodingName(problem.marked),
                         "，不能按 ", encodingName(problem.asked), " 读取。"});
        case Kind::NoHeadings:
            return std::string(kNoHeadings);
        case Kind::NoVolumes:
            return std::string(kNoVolumes);
        case Kind::TooManyHeadings:
            return std::string(kTooManyHeadings);
        case Kind::CannotRead:
            return cannotRead(problem.path, problem.error);
        case Kind::CannotCreate:
            return cannotCreate(problem.path, problem.error);
        case Kind::CannotWrite:
            return cannotWrite(problem.path, problem.error);
        case Kind::CannotWriteFolder:
            return cannotWriteFolder(problem.path, problem.error);
        case Kind::PartIsSource:
            return partIsSource(problem.path);
        case Kind::SourceIsLock:
            return sourceIsLock(problem.path);
        case Kind::AnotherRunWrites:
            return anotherRunWrites(problem.path);
        case Kind::SourceChanged:
            return sourceChanged(problem.path);
        case Kind::Unconvertible:
            return unconvertible(problem.line, problem.offset);
        case Kind::CannotConvert:
            return cannotConvert(problem.path);
        case Kind::PartsLeftFromBefore:
            return partsLeftFromBefore(problem.path, problem.count);
        case Kind::OutOfMemory:
            return std::string(kOutOfMemory);
    }
    return {};
}

std::string describe(HeadingPattern::Problem problem) {
    using P = HeadingPattern::Problem;
    switch (problem) {
        case P::None:
            return {};
        case P::TooComplex:
            return "标题规则太复杂";
        case P::TooLong:
            return "标题规则太长（最多 1000 个字符）";
        case P::Unbalanced:
            return "括号不配对";
        case P::UnbalancedClass:
            return "方括号不配对";
        case P::NothingToRepeat:
            return "量词前面没有可以重复的内容";
        case P::StackedQuantifiers:
            return "量词不能接着另一个量词（例如 a** 或 a{2}{3}）";
        case P::CountsOutOfOrder:
            return "{} 里的次数顺序不对";
        case P::Lookaround:
            return "不支持先行或后行断言（(?= (?! (?<= (?<!）";
        case P::BadGroup:
            return "( 后面的 ? 用得不对";
        case P::BadGroupName:
            return "分组的名字不对（要有名字，不能重复，只能用字母、数字、_ 和 $）";
        case P::BackReferenceByName:
            return "不支持反向引用（\\k<名字>）";
        case P::BackReference:
            return "不支持反向引用（\\1 这样的写法）";
        case P::LoneBackslash:
            return "\\ 后面缺少字符";
        case P::NulBeforeDigit:
            return "\\0 后面不能跟数字";
        case P::BadHex:
            return "\\x 后面要有两位、\\u 后面要有四位十六进制数字";
        case P::BadCodePoint:
            return "\\u{…} 写得不对";
        case P::CodePointTooLarge:
            return "\\u{…} 超出了 Unicode 的范围";
        case P::BadControl:
            return "\\c 后面要跟一个英文字母";
        case P::BadRange:
            return "方括号里的范围写得不对";
        case P::RangeOutOfOrder:
            return "方括号里的范围顺序不对";
    }
    return {};
}

std::string progress(std::string_view baseName) {
    return join({"正在分割中【", baseName, ".Txt 】", ",请稍候!"});
}

std::string progressAt(std::string_view baseName, unsigned percent, std::uint64_t part) {
    const std::string figures =
        std::to_string(percent) + "%（第 " + std::to_string(part) + " 个文件）";
    return join({progress(baseName), " ", figures});
}

std::string summary(std::string_view baseName, std::uint64_t parts, std::string_view perPart,
                    std::string_view unit, bool atMost) {
    const std::string count = std::to_string(parts);
    return join({"【", baseName, ".Txt 】已经被分割成了“", count, "”个文件,每个文件",
                 atMost ? "不超过" : "", "“", perPart, "”", unit});
}

std::string emptySource(std::string_view baseName) {
    return join({"【", baseName, ".Txt 】是空文件,没有生成分割文件"});
}

std::string interrupted(std::string_view baseName, std::uint64_t completedParts) {
    const std::string count = std::to_string(completedParts);
    return join({"【", baseName, ".Txt 】分割中断,已完成“", count, "”个文件"});
}

std::string notSplit(std::string_view baseName) {
    return join({"【", baseName, ".Txt 】分割失败,没有生成分割文件"});
}

std::string cancelled(std::string_view baseName, std::uint64_t completedParts) {
    const std::string count = std::to_string(completedParts);
    return join({"【", baseName, ".Txt 】分割已取消,已完成“", count, "”个文件"});
}

std::string_view encodingName(Encoding encoding) {
    switch (encoding) {
        case Encoding::Gbk:
            return "GBK";
        case Encoding::Big5:
            return "Big5";
        case Encoding::Utf8:
            return "UTF-8";
        case Encoding::Utf16Le:
            return "UTF-16 LE";
        case Encoding::Utf16Be:
            return "UTF-16 BE";
    }
    return "GBK";
}

std::string encodingRead(const SourceFormat& format) {
    return join({"编码：", encodingName(format.encoding), format.marked ? "（带 BOM）" : ""});
}

std::string_view unitOf(WayNumber number) {
    switch (number) {
        case WayNumber::Kilobytes:
        case WayNumber::Parts:
            return "KB";
        case WayNumber::Chapters:
            return "章";
        case WayNumber::Volumes:
            return "卷";
    }
    return "KB";
}

std::string statusAfter(const SplitOutcome& outcome, const SplitPlan& plan) {
    switch (outcome.result) {
        case SplitOutcome::Result::Done:
            return summary(plan.baseName, outcome.parts, plan.perPartFigure,
                           unitOf(wayOf(plan.mode).number), wayOf(plan.mode).atMost);
        case SplitOutcome::Result::Empty:
            return emptySource(plan.baseName);
        case SplitOutcome::Result::Failed:
            return interrupted(plan.baseName, outcome.parts);
        case SplitOutcome::Result::Stopped:
            return cancelled(plan.baseName, outcome.parts);
        case SplitOutcome::Result::CheckFailed:
            break;
    }
    return {};
}

std::string cannotRead(std::string_view path, int error) {
    return join({"无法读取文件“", path, "”：", systemReason(error)});
}

std::string cannotCreate(std::string_view path, int error) {
    return join({"无法创建文件“", path, "”：", systemReason(error)});
}

std::string cannotWrite(std::string_view path, int error) {
    return join({"无法写入文件“", path, "”：", systemReason(error)});
}

std::string cannotWriteFolder(std::string_view folder, int error) {
    return join({"无法在保存文件夹“", folder, "”里写入文件：", systemReason(error)});
}

std::string unconvertible(std::uint64_t line, std::uint64_t offset) {
    return join({"第 ", std::to_string(line), " 行有无法转换为 UTF-8 的字节（偏移 ",
                 std::to_string(offset), "），没有转换"});
}

std::string cannotConvert(std::string_view path) {
    return join(
        {"写入“", path, "”时遇到无法转换为 UTF-8 的字节，要分割的文件可能在分割过程中被修改了。"});
}

std::string partIsSource(std::string_view path) {
    return join({"分割文件“", path, "”就是要分割的文件本身,不能覆盖。"});
}

std::string anotherRunWrites(std::string_view baseName) {
    return join({"另一个分割正在向这个文件夹写入 ", baseName, "_*.txt，请等它结束后再试。"});
}

std::string sourceIsLock(std::string_view path) {
    return join({"要分割的文件“", path,
                 "”的名字是分割时用来防止同时写入的锁文件的名字，请把它改名后再分割。"});
}

std::string baseNameNotPlain(std::string_view baseName) {
    if (baseName == "." || baseName == "..") {
        return join({"分割文件的名称不能是“", baseName, "”。"});
    }
    return join({"分割文件的名称“", baseName, "”里不能有“/”或“\\”。"});
}

std::string partsLeftFromBefore(std::string_view firstName, std::uint64_t count) {
    if (count == 1) {
        return join({"保存文件夹里还有以前留下的 ", firstName, "，它不是这次分割的结果。"});
    }
    const std::string number = std::to_string(count);
    return join({"保存文件夹里还有以前留下的 ", firstName, " 等 ", number,
                 " 个文件，它们不是这次分割的结果。"});
}

std::string sourceChanged(std::string_view path) {
    return join({"要分割的文件“", path, "”在分割过程中被修改了,请等它保存完毕后重新分割。"});
}

std::string capTooSmall(std::uint64_t smallestBytes) {
    return join({"每个文件的大小上限太小：至少要能放下一个字和换行（",
                 std::to_string(smallestBytes), " 字节）。"});
}

std::string_view levelWord(HeadingLevel level) {
    return level == HeadingLevel::Volume ? "卷" : "章";
}

std::string_view verdictWord(HeadingReason reason) {
    return isTaken(reason) ? "取" : "弃";
}

std::string_view reasonWord(HeadingReason reason) {
    switch (reason) {
        case HeadingReason::Sequence: return "按序号";
        case HeadingReason::Volume: return "卷";
        case HeadingReason::Matter: return "序跋";
        case HeadingReason::StandsAlone: return "独立成行";
        case HeadingReason::ByContents: return "目录所列";
        case HeadingReason::Titles: return "同式标题";
        case HeadingReason::Contents: return "目录";
        case HeadingReason::Section: return "小节";
        case HeadingReason::Repeat: return "重复";
        case HeadingReason::EndMarker: return "结束标记";
        case HeadingReason::Citation: return "引文";
        case HeadingReason::PageMarker: return "页标";
        case HeadingReason::SitePiece: return "分段";
        case HeadingReason::BrokenSequence: return "断序";
        case HeadingReason::List: return "列表";
        case HeadingReason::RunningHeader: return "页眉";
        case HeadingReason::SameBlock: return "同一标题";
        case HeadingReason::NotSetOff: return "未单列";
    }
    return "";
}

std::string leftOutTotals(std::uint64_t leftOut) {
    return join({"另有 ", std::to_string(leftOut), " 行列表项或重复标题未列出"});
}

std::string chapterTotals(std::uint64_t chapters, std::uint64_t perPart, std::uint64_t parts) {
    return join({"共 ", std::to_string(chapters), " 章；每个文件 ", std::to_string(perPart),
                 " 章，分割成 ", std::to_string(parts), " 个文件"});
}

std::string cannotShowResult(int error) {
    return join({"无法输出分割结果：", error != 0 ? systemReason(error) : "输出错误"});
}

std::string systemReason(int error) {
    switch (error) {
        case ENOSPC:
            return "磁盘空间不足";
#ifdef EDQUOT
        case EDQUOT:
            return "超出磁盘配额";
#endif
        case EACCES:
        case EPERM:
            return "没有访问权限";
        case EROFS:
            return "文件系统是只读的";
        case EFBIG:
            return "文件超过了允许的最大大小";
        case ENAMETOOLONG:
            return "文件名太长";
        case ENOENT:
            return "路径不存在";
        case ENOTDIR:
            return "路径中有一部分不是文件夹";
        case EISDIR:
            return "这是一个文件夹";
        case EIO:
            return "输入输出错误";
        case EMFILE:
        case ENFILE:
            return "打开的文件太多";
        case EINVAL:
            return "不是可以分割的普通文件";
        case EPIPE:
            return "接收输出的程序已经关闭";
        case EBADF:
            return "输出已经关闭";
        case kErrorFileInUse:
            return "文件正被其他程序使用，请关闭它后重试";
        case kErrorSizeUnknown:
            return "文件的大小读出来是 0，里面却有内容（这是系统生成的特殊文件），无法分割";
        case kErrorInvalidName:
            return "文件名里有不允许使用的字符（\\ / : * ? \" < > |）";
        default:
            break;
    }
    return std::strerror(error);
}

}  // namespace tovane::texts
