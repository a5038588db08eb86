#include "split/chapters/chapter_map.h"

#include "split/chapters/book_pass.h"
#include "split/part_limit.h"

namespace tovane {

bool ChapterMap::describes(FileIdentity now, const FileStamp& nowStamp) const {
    return file == now && stamp == nowStamp;
}

ChapterMap ChapterMap::without(const std::vector<bool>& dropped) const {
    ChapterMap kept;
    kept.prefaceBytes = prefaceBytes;
    kept.byteOrderMark = byteOrderMark;
    kept.measured = measured;
    kept.withTexts = withTexts;
    kept.file = file;
    kept.stamp = stamp;
    std::vector<std::size_t> renumbered(blocks.size());
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const bool drop = k < dropped.size() && dropped[k];
        if (!drop) {
            kept.blocks.push_back(blocks[k]);
        } else if (kept.blocks.empty()) {
            kept.prefaceBytes += blocks[k].bytes;
        } else {
            // Two lines' worth of CR LF join the two chapters' measures.
            kept.blocks.back().characters += 2 + blocks[k].characters;
            kept.blocks.back().bytes += blocks[k].bytes;
        }
        renumbered[k] = kept.blocks.size() - (drop ? 0 : 1);
    }
    for (const Chapter& heading : headings) {
        if (heading.block < dropped.size() && dropped[heading.block]) continue;
        kept.headings.push_back(heading);
        kept.headings.back().block = renumbered[heading.block];
    }
    return kept;
}

ChapterList findChapters(const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern,
                         ChapterScanOptions options, const std::atomic<bool>* stopRequested) {
    ChapterList list;
    BookPass pass(sourcePath, pattern, options.measure, stopRequested);
    switch (pass.run()) {
        case BookPass::Result::Done:
            break;
        case BookPass::Result::Failed:
            list.result = ChapterList::Result::Failed;
            list.problem = pass.problem();
            return list;
        case BookPass::Result::Stopped:
            list.result = ChapterList::Result::Stopped;
            return list;
    }
    const std::vector<Candidate>& candidates = pass.candidates();
    const BookStructure structure = pattern ? everyCandidateAHeading(candidates)
                                            : readBookStructure(candidates, pass.shortLineBytes());
    auto map = std::make_shared<ChapterMap>();
    map->file = pass.identity();
    map->stamp = pass.stamp();
    map->measured = options.measure;
    map->withTexts = options.withText;
    map->byteOrderMark = pass.byteOrderMark();
    for (std::size_t k = 0; k < structure.cuts.size(); ++k) {
        const BookStructure::Cut& cut = structure.cuts[k];
        const bool last = k + 1 == structure.cuts.size();
        const std::uint64_t charactersAfter =
            last ? pass.totalCharacters() : structure.cuts[k + 1].charactersBefore;
        const std::uint64_t bytesAfter =
            last ? pass.totalBytes() : structure.cuts[k + 1].bytesBefore;
        ChapterBlock block;
        block.offset = cut.offset;
        block.line = cut.line;
        block.bytes = bytesAfter - cut.bytesBefore;
        // Each line counted its characters and a CR LF; the chapter's last has none.
        if (options.measure) block.characters = charactersAfter - cut.charactersBefore - 2;
        map->blocks.push_back(block);
    }
    if (!structure.cuts.empty()) map->prefaceBytes = structure.cuts.front().bytesBefore;
    for (const BookStructure::Heading& heading : structure.headings) {
        const Candidate& candidate = candidates[heading.candidate];
        Chapter chapter;
        chapter.offset = candidate.offset;
        chapter.line = candidate.line;
        chapter.level = heading.level;
        chapter.block = heading.block;
        if (options.withText) chapter.text = pass.textOf(candidate);
        map->headings.push_back(std::move(chapter));
    }
    list.map = std::move(map);
    return list;
}

std::vector<std::uint64_t> partsOfBlocks(const ChapterMap& map, std::uint64_t chaptersPerPart) {
    std::vector<std::uint64_t> parts(map.blocks.size());
    if (chaptersPerPart == 0) return parts;
    for (std::size_t k = 0; k < parts.size(); ++k) parts[k] = k / chaptersPerPart + 1;
    return parts;
}

// As the split measures: a part takes the next chapter while its bytes so far
// plus the chapter's characters stay within the limit; the first line of
// the file opens the first part whatever it is.
std::vector<std::uint64_t> partsOfBlocksBySize(const ChapterMap& map, std::uint64_t limit) {
    std::vector<std::uint64_t> parts(map.blocks.size());
    std::uint64_t part = 1;
    std::uint64_t written = map.byteOrderMark + map.prefaceBytes;
    for (std::size_t k = 0; k < map.blocks.size(); ++k) {
        const ChapterBlock& block = map.blocks[k];
        if (k == 0 && map.prefaceBytes == 0) {
            written += block.bytes;
        } else if (written > limit || block.characters > limit - written) {
            ++part;
            written = map.byteOrderMark + block.bytes;
        } else {
            written += block.bytes;
        }
        parts[k] = part;
    }
    return parts;
}

std::uint64_t partsOfChapters(const ChapterMap& map, std::uint64_t chaptersPerPart) {
    if (map.blocks.empty() || chaptersPerPart == 0) return 0;
    return groupsOf(map.blocks.size(), chaptersPerPart);
}

std::uint64_t partsOfSizeAtChapters(const ChapterMap& map, std::uint64_t limit) {
    const std::vector<std::uint64_t> parts = partsOfBlocksBySize(map, limit);
    return parts.empty() ? 0 : parts.back();
}

}  // namespace tovane
