// Everything a run decides before its first line, made once and then only
// read: the source, open, and its format; the way and its numbers; the
// chapters it cuts at; how its parts are named and what they are written in.
// The splitter's loop and everything below it take their part of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "split/chapters/chapter_map.h"
#include "split/io/source_file.h"
#include "split/parts/part_names.h"
#include "split/text/source_format.h"
#include "split/ways/split_way.h"

namespace tovane {

struct RunPlan {
    std::string sourcePath;  // for messages: the file is `source`
    std::shared_ptr<SourceFile> source;
    SourceFormat format;
    std::string saveFolder;  // ends in a separator
    std::string baseName;
    const SplitWay* way = nullptr;
    WayNumbers numbers;
    // In the ways that cut at chapters: the chapters, of the file as it is open.
    std::shared_ptr<const ChapterMap> chapters;
    PartNaming naming;
    bool toUtf8 = false;        // parts in UTF-8 with a mark
    std::size_t pieceSize = 0;  // bytes read from the source at a time
};

}  // namespace tovane
