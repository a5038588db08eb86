// The structure of books as people download them, each form taken and passed
// over in GBK, UTF-8 and UTF-16: volumes that start again, titles without
// numbers, levels of numbering, pieces, page markers and wrapped text; the
// reason given for each verdict; the reader's own corrections; and a stop.
#include "split/chapters/book_structure.h"

#include <gtest/gtest.h>

#include "split/chapters/chapter_list_test.h"

namespace tovane {
namespace {

using test::Book;
using test::chinese;

class BookStructureTest : public ChapterListTest {};

// Light-novel volumes: each opens with a prologue (or closes with an
// epilogue) and numbers its chapters from 1 again, with a volume heading or
// without one.
TEST_P(BookStructureTest, VolumesThatOpenWithAPrologueStartAgain) {
    for (const bool volumeHeadings : {true, false}) {
        Book book;
        book.other("青云记");
        book.text(1);
        for (unsigned v = 1; v <= 4; ++v) {
            if (volumeHeadings) book.heading("第" + chinese(v) + "卷 风云" + chinese(v));
            book.heading(volumeHeadings ? "序章 初见" : "楔子");
            book.text(3);
            for (unsigned n = 1; n <= 5; ++n) {
                book.heading("第" + chinese(n) + "章 山雨" + chinese(v * 10 + n));
                book.text(3);
            }
            if (!volumeHeadings) {
                book.heading("尾声");
                book.text(2);
            }
        }
        EXPECT_EQ(found(book), book.headings) << volumeHeadings;
        const std::shared_ptr<const ChapterMap> map = mapOf(book);
        const auto volumes = std::count_if(map->blocks.begin(), map->blocks.end(),
                                           [](const ChapterBlock& b) { return b.volume; });
        EXPECT_EQ(volumes, volumeHeadings ? 4 : 3) << "chapters at 1 again begin a volume";
    }
}

// 第一卷 / 第一章 / 第一节 with no titles: the opening lines are no contents.
TEST_P(BookStructureTest, NumbersAloneNestedThreeDeep) {
    Book book;
    book.other("青云记");
    for (unsigned v = 1; v <= 2; ++v) {
        book.heading("第" + chinese(v) + "卷");
        for (unsigned c = 1; c <= 3; ++c) {
            book.heading("第" + chinese(c) + "章");
            for (unsigned s = 1; s <= 2; ++s) {
                book.other("第" + chinese(s) + "节");
                book.text(3);
            }
        }
    }
    EXPECT_EQ(found(book), book.headings);
}

// Short chapters numbered from 1 three times are no table of contents.
TEST_P(BookStructureTest, ShortChaptersStartingAgain) {
    Book book;
    book.other("青云记");
    for (int run = 0; run < 3; ++run) {
        for (unsigned n = 1; n <= 4; ++n) {
            book.heading("第" + chinese(n) + "章");
            book.other("　　雨。");
        }
    }
    EXPECT_EQ(found(book), book.headings);
}

// Titles without numbers: those the contents at the front list, standing
// alone in the body; the contents' own lines are passed over.
TEST_P(BookStructureTest, TitlesTheContentsList) {
    const char* titles[] = {"出版说明", "初雪", "江城夜雨", "归途", "后记"};
    Book book;
    book.other("青云记");
    book.other("目录");
    for (const char* title : titles) book.other(title);
    book.text(2);
    for (const char* title : titles) {
        book.blank();
        book.heading(title);
        book.blank();
        book.text(6);
        book.other("他笑了");  // a short line of the story, set off by nothing
        book.text(2);
    }
    EXPECT_EQ(found(book), book.headings);
    EXPECT_EQ(verdicts(book)[4], HeadingReason::Contents);
}

// Titles a site dates, or signs with its author, and titles set off by
// blank lines as no paragraph is, through a book without numbers.
TEST_P(BookStructureTest, TitlesTheBookSetsOffAlike) {
    for (int mark = 0; mark < 3; ++mark) {
        Book book;
        book.other("青云记");
        book.text(2);
        for (const char* title : {"风起", "夜渡江城", "“归来”", "山中旧事"}) {
            if (mark == 2) {
                for (int k = 0; k < 3; ++k) book.blank();
            }
            book.heading(title);
            if (mark == 0) book.other("更新时间2009-1-9 9:21:42  字数：1511");
            if (mark == 1) book.other("◇ 文 林晓");
            for (int k = 0; k < 6; ++k) {
                book.text(3);
                book.other("他笑了");
            }
        }
        EXPECT_EQ(found(book), book.headings) << mark;
    }
}

// Categories numbered 一 二 三 and the cases inside each numbered from 1:
// both levels are headings, the categories standing as volumes.
TEST_P(BookStructureTest, ASecondNumberedLevelThroughTheBook) {
    Book book;
    book.other("青云记");
    for (unsigned c = 1; c <= 3; ++c) {
        book.heading(chinese(c) + " 品牌之道" + chinese(c));
        book.text(2);
        for (unsigned n = 1; n <= 9; ++n) {  // many to a category: its chapters
            // Two phrases around a comma make a title as well.
            book.heading(std::to_string(n) + (n % 3 ? ".“老字号”的新路" : ".老字号难，难在新路") +
                         chinese(c * 10 + n));
            book.text(6);
        }
    }
    EXPECT_EQ(found(book), book.headings);
    EXPECT_EQ(mapOf(book)->headings.front().level, HeadingLevel::Volume);
}

// After the end, a side story's titled numbers are its chapters, though
// another story's strong chapters follow; the same numbers inside a chapter
// are its sections.
TEST_P(BookStructureTest, ASideStoryAfterTheEndHasChapters) {
    Book book;
    book.other("青云记");
    for (unsigned c = 1; c <= 12; ++c) {
        book.heading("第" + chinese(c) + "章 山雨" + chinese(c));
        book.text(8);
        if (c == 6) {
            for (unsigned s = 1; s <= 3; ++s) {
                book.other("【" + chinese(s) + "、小事】");
                book.text(2);
            }
        }
    }
    book.other("（《青云记》全书完）");
    for (unsigned n = 1; n <= 12; ++n) {
        book.heading("【" + chinese(n) + "、夜话" + chinese(n) + "】");
        book.text(8);
    }
    for (unsigned c = 1; c <= 6; ++c) {
        book.heading("第00" + std::to_string(c) + "章 归途" + chinese(c));
        book.text(8);
    }
    EXPECT_EQ(found(book), book.headings);
}

// Numbers alone that run on under titled chapters are their sections.
TEST_P(BookStructureTest, NumbersAloneUnderTitledChapters) {
    Book book;
    book.other("青云记");
    unsigned section = 0;
    for (unsigned c = 1; c <= 4; ++c) {
        book.heading(chinese(c) + "、写作之后" + chinese(c));
        for (int s = 0; s < 3; ++s) {
            std::string number;  // in full-width digits: １２
            for (char digit : std::to_string(++section)) {
                number += "\xEF\xBC";
                number += static_cast<char>(0x90 + (digit - '0'));
            }
            book.other(number);
            book.text(6);
        }
    }
    const std::map<std::uint64_t, HeadingReason> all = verdicts(book);
    EXPECT_EQ(found(book), book.headings);
    EXPECT_EQ(all.at(3), HeadingReason::Section);
}

// A site's later pieces of one chapter and its page markers are no
// chapters; a chapter numbered on is one, whatever its title.
TEST_P(BookStructureTest, PiecesAndPageMarkers) {
    Book book;
    book.other("青云记");
    const auto piece = [&book](const char* title, bool heading) {
        heading ? book.heading(title) : book.other(title);
        book.other("更新时间2009-1-9 9:21:42");
        book.text(16);
        return book.lines.size() - 17;
    };
    piece("风起（1）", true);
    const std::uint64_t second = piece("风起（2）", false);
    piece("江城（1）", true);
    book.other("青云记_第3章");
    const std::uint64_t marker = book.lines.size();
    book.text(16);
    book.other("_分节阅读_5");
    book.text(16);
    piece("夜雨", true);
    const std::map<std::uint64_t, HeadingReason> all = verdicts(book);
    EXPECT_EQ(found(book), book.headings);
    EXPECT_EQ(all.at(second), HeadingReason::SitePiece);
    EXPECT_EQ(all.at(marker), HeadingReason::PageMarker);

    Book numbered;
    numbered.other("青云记");
    for (unsigned n = 1; n <= 4; ++n) {
        numbered.heading("第" + std::to_string(n) + "章 夜雨（" + std::to_string(n) + "）");
        numbered.text(3);
    }
    EXPECT_EQ(found(numbered), numbered.headings);

    // Essays in pieces, some asking a question: the ？ ends the title, not
    // a sentence, with the piece's mark after it.
    Book essays;
    essays.other("随笔集");
    for (unsigned n : {5u, 7u, 8u, 9u}) {
        for (unsigned p = 1; p <= 2; ++p) {
            const std::string title = std::to_string(n) +
                                      (n % 2 ? ".雨为什么总在夜里下？" : ".夜雨") + "（" +
                                      std::to_string(p) + "）";
            p == 1 ? essays.heading(title) : essays.other(title);
            essays.text(10);
        }
    }
    EXPECT_EQ(found(essays), essays.headings);
}

// In a book wrapped at a width, numbered lines as wide as the others with
// the text running on under them open paragraphs.
TEST_P(BookStructureTest, NumberedParagraphsOfAWrappedBook) {
    const std::string full = "山路弯弯雨一直下他走了很久才看见远处的灯火心里一下子亮了";  // 28
    Book book;
    book.other("青云记");
    for (unsigned p = 1; p <= 12; ++p) {
        // Two characters fewer, as many bytes as the digits and the point take.
        book.other(std::to_string(p) + "." + full.substr(0, full.size() - 6));
        // A page's end between a paragraph's lines leaves a blank line.
        if (p % 3 == 0) book.blank();
        for (int k = 0; k < 12; ++k) book.other(full);
    }
    EXPECT_EQ(found(book), book.headings);
}

// Every candidate says why it was taken or passed over.
TEST_P(BookStructureTest, EachVerdictHasItsReason) {
    Book book;
    book.other("青云记");
    book.other("目录");                                            // 2
    for (unsigned n = 1; n <= 3; ++n) book.other("第" + chinese(n) + "章 风" + chinese(n));
    book.text(2);
    book.heading("第一章 风一");                                   // 8
    book.other("第一章 风一");                                     // 9: a copy
    book.text(3);
    book.other("第九卷，见前文");                                  // 13: a citation
    book.heading("第二章 风二");                                   // 14
    book.text(3);
    book.other("第一节");                                          // 18
    book.text(3);
    book.other("第二节");
    book.text(3);
    book.heading("第三章 风三");                                   // 26
    book.text(3);
    book.other("第一节");
    book.text(3);
    book.other("第二节");
    book.text(3);
    book.other("第三章完");                                        // 38
    const std::map<std::uint64_t, HeadingReason> all = verdicts(book);
    EXPECT_EQ(found(book), book.headings);
    EXPECT_EQ(all.at(3), HeadingReason::Contents);
    EXPECT_EQ(all.at(8), HeadingReason::Sequence);
    EXPECT_EQ(all.at(9), HeadingReason::Repeat);
    EXPECT_EQ(all.at(13), HeadingReason::Citation);
    EXPECT_EQ(all.at(18), HeadingReason::Section);
    EXPECT_EQ(all.at(38), HeadingReason::EndMarker);
}

// A chapter taken out gives its text to the one before; a candidate brought
// in begins a chapter cut off the one it stood in.
TEST_P(BookStructureTest, TheReadersChoice) {
    Book book;
    book.other("青云记");
    book.text(1);
    for (unsigned n = 1; n <= 3; ++n) {
        book.heading("第" + chinese(n) + "章 风起");
        book.text(2);
        if (n == 2) book.other("3");  // a number out of any sequence, line 11
        book.text(2);
    }
    const std::shared_ptr<const ChapterMap> map = mapOf(book);
    ASSERT_EQ(map->passedOver.size(), 1u);
    ASSERT_EQ(map->blocks.size(), 3u);
    const ChapterMap chosen = map->chosen({{true, false, false}, {true}});
    ASSERT_EQ(chosen.blocks.size(), 3u);
    EXPECT_EQ(chosen.blocks[0].line, 8u);
    EXPECT_EQ(chosen.blocks[1].line, 11u);
    EXPECT_EQ(chosen.headings.size(), 3u);
    EXPECT_EQ(chosen.prefaceBytes, map->prefaceBytes + map->blocks[0].bytes);
    std::uint64_t bytes = chosen.prefaceBytes;
    std::uint64_t characters = 0;
    for (const ChapterBlock& block : chosen.blocks) {
        bytes += block.bytes;
        characters += block.characters + 2;
    }
    EXPECT_EQ(bytes, map->bytes);
    EXPECT_EQ(chosen.blocks[0].characters + chosen.blocks[1].characters + 2,
              map->blocks[1].characters);
    EXPECT_EQ(characters + chosen.blocks.front().charactersBefore, map->characters);
}

INSTANTIATE_TEST_SUITE_P(Encodings, BookStructureTest,
                         ::testing::Values(SourceFormat{Encoding::Gbk, false},
                                           SourceFormat{Encoding::Utf8, false},
                                           SourceFormat{Encoding::Utf16Le, true}));

// The structure reader stops within a few thousand steps of being asked to.
TEST(BookStructure, AStopEndsTheReading) {
    Candidates candidates(50000);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        candidates[i].offset = i * 100;
        candidates[i].line = i + 1;
        candidates[i].heading.form = HeadingLine::Form::Bare;
        candidates[i].heading.number = static_cast<std::uint32_t>(i % 7 + 1);
    }
    const std::atomic<bool> stop{true};
    EXPECT_TRUE(readBookStructure(candidates, {}, &stop).stopped);
    EXPECT_FALSE(readBookStructure(candidates, {}, nullptr).stopped);
}

// A book large enough to be read by two threads: the headings of its second
// half, their lines and the measures of their chapters are those of a book
// read by one, across the middle and with titles its front lists.
TEST(BookStructure, ALargeBookReadInTwoHalves) {
    for (const SourceFormat format :
         {SourceFormat{Encoding::Gbk, false}, SourceFormat{Encoding::Utf16Le, true}}) {
        Book book;
        book.other("青云记");
        book.other("目录");
        for (int n = 1; n <= 3; ++n) book.other("第" + std::to_string(n) + "章 风起");
        book.other("后记");
        book.text(2);
        const std::string paragraph = "　　山路弯弯，雨一直下。他走了很久，才看见远处的灯火。";
        for (unsigned n = 1; n <= 300; ++n) {
            book.heading("第" + std::to_string(n) + "章 风起");
            for (int k = 0; k < 3000; ++k) book.other(paragraph);
            if (n % 7 == 0) book.other("");
        }
        book.other("");
        book.heading("后记");
        book.other("");
        book.text(3);
        const std::string text = book.utf8();
        test::TempDir dir;
        const std::string bytes = std::string(format.mark()) + test::encode(text, format);
        ASSERT_GT(bytes.size(), std::size_t{40} << 20);
        const ChapterList list =
            findChapters(dir.write("big.txt", bytes), nullptr, {true, true, false});
        ASSERT_EQ(list.result, ChapterList::Result::Done);
        const ChapterMap& map = *list.map;
        std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> measures;
        const auto measured = [&](const std::string& line) {
            auto [at, fresh] = measures.try_emplace(line);
            if (fresh) {
                const std::string encoded = test::encode(line, format);
                at->second = {encoded.size(), format.codec().countCharacters(encoded)};
            }
            return at->second;
        };
        std::vector<std::uint64_t> lines;
        for (const Chapter& chapter : map.headings) lines.push_back(chapter.line);
        EXPECT_EQ(lines, book.headings);
        // Each chapter's bytes and characters, as the lines give them.
        const std::uint64_t lineBreak = format.codec().lineBreak().size();
        ASSERT_EQ(map.blocks.size(), book.headings.size());
        for (std::size_t k = 0; k < map.blocks.size(); ++k) {
            const std::uint64_t first = book.headings[k];
            const std::uint64_t last = k + 1 < book.headings.size() ? book.headings[k + 1] - 1
                                                                    : book.lines.size();
            std::uint64_t size = 0;
            std::uint64_t characters = 0;
            for (std::uint64_t line = first; line <= last; ++line) {
                const auto [bytesOf, charactersOf] = measured(book.lines[line - 1]);
                size += bytesOf + lineBreak;
                characters += charactersOf + 2;
            }
            EXPECT_EQ(map.blocks[k].bytes, size) << k;
            EXPECT_EQ(map.blocks[k].characters, characters - 2) << k;
        }
    }
}

}  // namespace
}  // namespace tovane
