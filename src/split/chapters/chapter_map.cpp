#include "split/chapters/chapter_map.h"

#include <algorithm>

#include "split/chapters/book_pass.h"

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

std::string_view ChapterMap::headingAt(std::uint64_t offset) const {
    const auto block =
        std::lower_bound(blocks.begin(), blocks.end(), offset,
                         [](const ChapterBlock& b, std::uint64_t at) { return b.offset < at; });
    if (block == blocks.end() || block->offset != offset) return {};
    const auto k = static_cast<std::size_t>(block - blocks.begin());
    const auto first =
        std::lower_bound(headings.begin(), headings.end(), k,
                         [](const Chapter& heading, std::size_t b) { return heading.block < b; });
    return first != headings.end() && first->block == k ? std::string_view(first->text)
                                                        : std::string_view();
}

ChapterList findChapters(const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern,
                         ChapterScanOptions options, const std::atomic<bool>* stopRequested,
                         std::optional<Encoding> asked) {
    ChapterList list;
    const auto source = std::make_shared<SourceFile>();
    source->askEncoding(asked);
    if (!source->open(sourcePath) || !source->format()) {
        list.result = ChapterList::Result::Failed;
        list.problem = Problem::about(Problem::Kind::CannotRead, sourcePath, source->error());
        return list;
    }
    if (source->markContradicts()) {
        list.result = ChapterList::Result::Failed;
        list.problem = Problem::markContradicts(source->format()->encoding, *asked);
        return list;
    }
    return findChapters(source, *source->format(), sourcePath, pattern, options, stopRequested);
}

ChapterList findChapters(const std::shared_ptr<SourceFile>& source, const SourceFormat& format,
                         const std::string& sourcePath,
                         const std::shared_ptr<const HeadingPattern>& pattern,
                         ChapterScanOptions options, const std::atomic<bool>* stopRequested) {
    ChapterList list;
    BookPass pass(source, format, sourcePath, pattern, options.measure, stopRequested);
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
    const Candidates& candidates = pass.candidates();
    const BookStructure structure = pattern ? everyCandidateAHeading(candidates)
                                            : readBookStructure(candidates, pass.measures(),
                                                                stopRequested);
    if (structure.stopped) {
        list.result = ChapterList::Result::Stopped;
        return list;
    }
    auto map = std::make_shared<ChapterMap>();
    map->file = pass.identity();
    map->stamp = pass.stamp();
    map->measured = options.measure;
    map->withTexts = options.withText;
    map->byteOrderMark = pass.byteOrderMark();
    map->format = format;
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
        block.volume = cut.volume;
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
        chapter.reason = structure.verdicts[heading.candidate];
        if (options.withText) chapter.text = pass.textOf(candidate);
        map->headings.push_back(std::move(chapter));
    }
    if (options.passedOver) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (isTaken(structure.verdicts[i])) continue;
            const Candidate& candidate = candidates[i];
            map->passedOver.push_back({candidate.offset, candidate.line, pass.textOf(candidate),
                                       structure.verdicts[i], candidate.charactersBefore,
                                       candidate.bytesBefore});
        }
        map->leftOut = pass.measures().listItemsLeftOut + pass.measures().copiesLeftOut;
    }
    list.map = std::move(map);
    return list;
}

}  // namespace tovane
