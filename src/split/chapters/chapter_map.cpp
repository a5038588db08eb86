#include "split/chapters/chapter_map.h"

#include <algorithm>

#include "split/chapters/book_pass.h"

namespace tovane {

bool ChapterMap::describes(FileIdentity now, const FileStamp& nowStamp) const {
    return file == now && stamp == nowStamp;
}

bool ChapterChoice::none() const {
    return std::find(dropped.begin(), dropped.end(), true) == dropped.end() &&
           std::find(broughtIn.begin(), broughtIn.end(), true) == broughtIn.end();
}

ChapterMap ChapterMap::chosen(const ChapterChoice& choice) const {
    const auto isSet = [](const std::vector<bool>& marks, std::size_t k) {
        return k < marks.size() && marks[k];
    };
    ChapterMap kept;
    kept.byteOrderMark = byteOrderMark;
    kept.format = format;
    kept.measured = measured;
    kept.withTexts = withTexts;
    kept.file = file;
    kept.stamp = stamp;
    kept.bytes = bytes;
    kept.characters = characters;
    // The chapters kept and brought in, in the order of the file, and each
    // heading with the place of its chapter among them.
    std::vector<std::size_t> renumbered(blocks.size());
    std::size_t k = 0;
    std::size_t p = 0;
    const auto begin = [&kept](ChapterBlock block) {
        kept.blocks.push_back(block);
        return kept.blocks.size() - 1;
    };
    while (k < blocks.size() || p < passedOver.size()) {
        if (k < blocks.size() && isSet(choice.dropped, k)) {
            ++k;
        } else if (p < passedOver.size() && !isSet(choice.broughtIn, p)) {
            ++p;
        } else if (p == passedOver.size() ||
                   (k < blocks.size() && blocks[k].offset < passedOver[p].offset)) {
            renumbered[k] = begin(blocks[k]);
            ++k;
        } else {
            const PassedOver& brought = passedOver[p];
            ChapterBlock block;
            block.offset = brought.offset;
            block.line = brought.line;
            block.bytesBefore = brought.bytesBefore;
            block.charactersBefore = brought.charactersBefore;
            const std::size_t at = begin(block);
            Chapter heading;
            heading.offset = brought.offset;
            heading.line = brought.line;
            heading.text = brought.text;
            heading.block = at;
            heading.reason = brought.reason;
            kept.headings.push_back(std::move(heading));
            ++p;
        }
    }
    for (const Chapter& heading : headings) {
        if (isSet(choice.dropped, heading.block)) continue;
        kept.headings.push_back(heading);
        kept.headings.back().block = renumbered[heading.block];
    }
    std::stable_sort(kept.headings.begin(), kept.headings.end(),
                     [](const Chapter& a, const Chapter& b) { return a.offset < b.offset; });
    // Each chapter runs to the next; the CR LF of its last line is the next's.
    for (std::size_t b = 0; b < kept.blocks.size(); ++b) {
        ChapterBlock& block = kept.blocks[b];
        const bool last = b + 1 == kept.blocks.size();
        block.bytes = (last ? bytes : kept.blocks[b + 1].bytesBefore) - block.bytesBefore;
        if (measured) {
            block.characters = (last ? characters : kept.blocks[b + 1].charactersBefore) -
                               block.charactersBefore - 2;
        }
    }
    kept.prefaceBytes = kept.blocks.empty() ? bytes : kept.blocks.front().bytesBefore;
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
    pass.countReadInto(options.bytesRead);
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
    map->bytes = pass.totalBytes();
    map->characters = pass.totalCharacters();
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
        block.bytesBefore = cut.bytesBefore;
        block.charactersBefore = cut.charactersBefore;
        block.bytes = bytesAfter - cut.bytesBefore;
        // Each line counted its characters and a CR LF; the chapter's last has none.
        if (options.measure) block.characters = charactersAfter - cut.charactersBefore - 2;
        map->blocks.push_back(block);
    }
    if (!structure.cuts.empty()) map->prefaceBytes = structure.cuts.front().bytesBefore;
    // The headings' words are read again from the file, a line each: a
    // stop is honoured between them.
    const auto stopped = [stopRequested](std::size_t count) {
        return (count & 0x3FF) == 0 && stopRequested != nullptr && stopRequested->load();
    };
    for (const BookStructure::Heading& heading : structure.headings) {
        if (stopped(map->headings.size())) {
            list.result = ChapterList::Result::Stopped;
            return list;
        }
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
            // A short line only near others, not set off as headings are, reads
            // as a heading to none: listed it would only hide those that do.
            if (isTaken(structure.verdicts[i]) ||
                (structure.verdicts[i] == HeadingReason::NotSetOff &&
                 candidates[i].heading.form == HeadingLine::Form::Plain)) {
                continue;
            }
            if (stopped(i)) {
                list.result = ChapterList::Result::Stopped;
                return list;
            }
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
