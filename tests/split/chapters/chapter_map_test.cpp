// Chapters as real downloaded books mark them, in every encoding: each
// test book is written here, in the forms such books use, and the chapter
// list must find exactly its headings.
#include "split/chapters/chapter_map.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "split/chapters/chapter_list_test.h"
#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

using test::Book;
using test::bookOf;
using test::chinese;
using test::kBlank;
using test::kText;
using test::Line;
using test::padded;

TEST_P(ChapterListTest, HeadingsWithAPrefixBlanksOrOtherNumbers) {
    const std::vector<std::function<std::string(unsigned)>> forms = {
        [](unsigned n) { return "正文 第" + chinese(n) + "章 青云初起（上）"; },
        [](unsigned n) { return "【正文】    第" + std::to_string(n) + "节：风起"; },
        [](unsigned n) { return "《青云记》第" + chinese(n) + "章(1)"; },
        [](unsigned n) { return "●第" + chinese(n) + "章  绪论"; },
        [](unsigned n) { return "[(第" + std::to_string(n) + "章 山雨欲来)]"; },
        [](unsigned n) { return "网友上传章节 第" + chinese(n) + "章 夜渡江城"; },
        [](unsigned n) { return "青云记·第" + std::to_string(n) + "章"; },
        [](unsigned n) { return "第一梦 春雨 第" + padded(n, 2) + "章"; },
        [](unsigned n) { return "第 " + std::to_string(n) + " 章"; },
        [](unsigned n) { return "第　" + chinese(n) + "　卷"; },
        [](unsigned n) { return "第　　" + chinese(n) + "　　卷"; },
        [](unsigned n) { return "第" + padded(n, 2) + "节"; },
        [](unsigned n) { return "第" + chinese(n * 100 + 8) + "回"; },  // 第一百零八回
        [](unsigned n) { return "第" + chinese(n * 1000) + "章"; },     // 第两千章
        [](unsigned n) { return "第" + chinese(n) + "讲　绪论"; },
        [](unsigned n) { return "第" + std::to_string(n) + "课"; },
        [](unsigned n) { return "青云记  第" + chinese(n) + "部分"; },
        [](unsigned n) { return "第" + chinese(n) + "话 相逢"; },
        [](unsigned n) { return "第" + chinese(n) + "幕"; },
        [](unsigned n) { return "第" + chinese(n) + "季"; },
        [](unsigned n) { return "第" + chinese(n) + "册"; },
        [](unsigned n) { return "第廿" + chinese(n) + "回"; },
        [](unsigned n) { return "Chapter " + std::to_string(n); },
    };
    for (const auto& form : forms) expectChapters(form);
}

TEST_P(ChapterListTest, NumberFirstHeadingsCountWhereTheyRunInSequence) {
    const std::vector<std::function<std::string(unsigned)>> forms = {
        [](unsigned n) { return "卷" + chinese(n); },
        [](unsigned n) { return "章" + chinese(n); },
        [](unsigned n) { return "正文 " + padded(n, 3) + " 初见"; },
        [](unsigned n) { return chinese(n); },
        [](unsigned n) { return padded(n, 2); },
        [](unsigned n) { return "（" + std::to_string(n) + "）"; },
        [](unsigned n) { return chinese(n) + "、雨夜"; },
        [](unsigned n) { return chinese(n) + " 远行"; },
    };
    for (const auto& form : forms) expectChapters(form, true);
}

TEST_P(ChapterListTest, WhatOnlyLooksLikeAHeadingIsNot) {
    Book book;
    book.other("书名：青云记");
    book.text(2);
    for (unsigned n = 1; n <= 3; ++n) {
        book.heading("第" + chinese(n) + "章 风起");
        book.text(2);
        book.other("他翻到第三章的时候，天已经黑了。");
        book.other("他翻到第三章");
        book.other("第三次会议");
        book.other("第一天");
        book.other("“第三章你看了吗？”");
        book.other("第三回合");
        book.other("第二章写到这里就停下了。");
        book.text(1);
        // A numbered list inside the chapter, and a lone numeral in a poem.
        for (unsigned item = 1; item <= 4; ++item) book.other(std::to_string(item) + ". 带上雨伞");
        for (unsigned item = 1; item <= 3; ++item) book.other(chinese(item) + "、带上雨伞");
        book.other("一");
        book.text(2);
    }
    EXPECT_EQ(found(book), book.headings);
}

TEST_P(ChapterListTest, TableOfContentsIsPassedOver) {
    Book book;
    book.other("青云记");
    book.other("目录");
    book.other("第一卷（327—354）…………………1");
    for (unsigned n = 1; n <= 6; ++n) book.other("第" + chinese(n) + "章 风起云涌");
    book.text(2);
    for (unsigned n = 1; n <= 6; ++n) {
        book.heading("第" + chinese(n) + "章 风起云涌");
        book.text(3);
    }
    EXPECT_EQ(found(book), book.headings);
}

TEST_P(ChapterListTest, VolumesAreChaptersTooAndNumberingStartsAgain) {
    Book book;
    for (unsigned volume = 1; volume <= 2; ++volume) {
        book.heading("第" + chinese(volume) + "卷 江湖");
        book.text(1);
        for (unsigned n = 1; n <= 3; ++n) {
            book.heading("第" + chinese(n) + "章");
            book.text(2);
        }
    }
    EXPECT_EQ(found(book), book.headings);
    // A classic: volumes by 卷一, chapters by bare numerals starting again in each.
    Book classic;
    for (unsigned volume = 1; volume <= 2; ++volume) {
        classic.heading("卷" + chinese(volume));
        classic.text(1);
        for (unsigned n = 1; n <= 3; ++n) {
            classic.heading(chinese(n));
            classic.text(12);
        }
    }
    EXPECT_EQ(found(classic), classic.headings);
}

TEST_P(ChapterListTest, SectionsOfOneChapterBelongToIt) {
    Book book;
    for (unsigned n = 1; n <= 3; ++n) {
        book.heading("第" + chinese(n) + "章(1)");
        book.text(2);
        book.other("第" + chinese(n) + "章(2)");
        book.text(2);
        book.other("下篇");
        book.text(2);
    }
    EXPECT_EQ(found(book), book.headings);
}

TEST_P(ChapterListTest, BookWithoutNumberedHeadingsHasNone) {
    Book essays;
    for (int i = 0; i < 20; ++i) {
        essays.other("春天的雨");
        essays.text(4);
        essays.other("一");
        essays.text(1);
    }
    EXPECT_TRUE(found(essays).empty());
    EXPECT_TRUE(found(essays, "\n").empty());
}

TEST_P(ChapterListTest, LineEndsOfEveryKind) {
    Book book;
    for (unsigned n = 1; n <= 4; ++n) {
        book.heading("第" + chinese(n) + "章 风起");
        book.text(2);
    }
    EXPECT_EQ(found(book, "\n"), book.headings);
    EXPECT_EQ(found(book, "\r"), book.headings);
}

TEST_P(ChapterListTest, TwoNumbersOnALineMakeAVolumeHeading) {
    const Book book = bookOf({{"第一季 第一卷 风雪夜归", true},
                              kText,
                              {"第一章 夜渡", true},
                              kText,
                              {"第二章 山门", true},
                              kText,
                              {"第一季 第二卷 春水", true},
                              kText,
                              {"第三章 旧事", true},
                              kText,
                              {"第一部分 山中旧事第4节 古寺", true},
                              kText,
                              {"第五章 远行", true},
                              kText});
    EXPECT_EQ(found(book), book.headings);
    EXPECT_EQ(mapOf(book)->headings.front().level, HeadingLevel::Volume);
}

// A volume and its chapter 1 with nothing but a blank line or its own title
// line between are one chapter, cut before the volume.
TEST_P(ChapterListTest, AVolumeAndItsFirstChapterAreOneBlock) {
    const Book book = bookOf({kText,
                              {"第一部 启程", true},
                              kBlank,
                              {"第一章 山雨", true},
                              kText,
                              {"第二章 江城", true},
                              kText,
                              {"第二部 归途", true},
                              {"归途篇"},
                              {"第一章 夜渡", true},
                              kText,
                              {"第二季 引子", true},
                              {"第一章 风起", true},
                              kText});
    const std::shared_ptr<const ChapterMap> map = mapOf(book);
    EXPECT_EQ(found(book), book.headings);
    ASSERT_EQ(map->blocks.size(), 4u);
    EXPECT_EQ(map->blocks[0].line, book.headings[0]);
    EXPECT_EQ(map->blocks[2].line, book.headings[3]);
    EXPECT_EQ(map->blocks[3].line, book.headings[5]);
    EXPECT_EQ(map->headings[4].block, 2u);
}

// One missed number used to end a run; these stay in it.
TEST_P(ChapterListTest, ARunOfBodyNumbersSurvivesOddLines) {
    const Book book = bookOf({{"正文 001 初见", true},
                              kText,
                              {"正文 002 回来了！", true},
                              kText,
                              {"正文 003一群老友", true},
                              kText,
                              {"正文 004 再会 （本章求月票，求推荐！）", true},
                              kText,
                              {"正文 006 远行", true},
                              kText,
                              {"正文 007 尾声之前", true},
                              kText},
                             12);
    EXPECT_EQ(found(book), book.headings);
}

TEST_P(ChapterListTest, DecorationIsLeftOffTheHeading) {
    const Book book = bookOf({{"◆ 《青云传奇之风雪夜》 第一回　一个迟到的客人 ◆", true},
                              kText,
                              {"【第二回 山门】", true},
                              kText,
                              {"★第三回 雨夜★", true},
                              kText,
                              {"══ 第四回 归来 ══", true},
                              kText});
    EXPECT_EQ(found(book), book.headings);
}

TEST_P(ChapterListTest, FrontAndBackMatterStandingAlone) {
    for (const char* front : {"序", "序言", "自序", "代序", "前言", "引子"}) {
        for (const char* back : {"后记", "跋", "附录", "附录一 年表", "正文 尾声"}) {
            const Book book = bookOf({{front, true},
                                      kText,
                                      {"第一章 起", true},
                                      kText,
                                      {"第二章 承", true},
                                      kText,
                                      {back, true},
                                      kText});
            EXPECT_EQ(found(book), book.headings) << front << " " << back;
        }
    }
}

// Citations, footnotes, end markers, mentions and a heading printed again
// after a blank line or a site's banner are no chapters.
TEST_P(ChapterListTest, LinesThatOnlyLookLikeHeadingsAmongChapters) {
    const Book book = bookOf({{"第一卷 江湖", true},
                              kText,
                              {"——某氏《旧史通录·第一百九十六卷》"},
                              {"第一章 风起", true},
                              kBlank,
                              {"第一章 风起"},
                              kText,
                              {"《同上·第一百八十四卷》"},
                              {"第二章 云涌", true},
                              {"本书来自 www.example.com"},
                              {"第二章 云涌"},
                              kText,
                              {"② 见第九卷。——译者"},
                              {"army，第7集团军；first"},
                              kText,
                              {"第一卷终"},
                              {"第二卷 庙堂", true},
                              kText,
                              {"第三章 夜雨", true},
                              kText,
                              {"第三章完"},
                              {"（第二卷完）"},
                              {"1983.5.8　第一部修改毕"},
                              {"第三卷 归来", true},
                              kText,
                              {"第四章 天明", true},
                              kText});
    EXPECT_EQ(found(book), book.headings);
}

// A number alone with its title on the next line lists the number only; a
// book that puts titles above numbers is cut before the title.
TEST_P(ChapterListTest, TwoLineHeadings) {
    Book below;
    Book above;
    below.other("青云记");
    above.other("青云记");
    const char* titles[] = {"甄士隐梦幻识通灵", "贾夫人仙逝扬州城", "托内兄如海荐西宾",
                            "薄命女偏逢薄命郎"};
    for (unsigned n = 1; n <= 4; ++n) {
        below.heading("第" + chinese(n) + "回");
        below.other(titles[n - 1]);
        below.text(3);
        above.other(titles[n - 1]);
        above.heading("第" + chinese(n) + "回");
        above.text(3);
    }
    EXPECT_EQ(found(below), below.headings);
    EXPECT_EQ(found(above), above.headings);
    const std::shared_ptr<const ChapterMap> map = mapOf(above);
    ASSERT_EQ(map->blocks.size(), 4u);
    EXPECT_EQ(map->blocks[1].line, above.headings[1] - 1);
}

// Sections numbered again in every chapter are no chapters of their own.
TEST_P(ChapterListTest, SectionsStartingAgainInEveryChapter) {
    for (const char* form : {"一、", "（1）", "第一节 "}) {
        Book book;
        for (unsigned n = 1; n <= 4; ++n) {
            book.heading("第" + chinese(n) + "章 山雨");
            for (unsigned s = 1; s <= 3; ++s) {
                book.text(4);
                const std::string numeral =
                    std::string(form) == "（1）" ? std::to_string(s) : chinese(s);
                book.other(std::string(form) == "（1）"  ? "（" + numeral + "）"
                           : std::string(form) == "一、" ? numeral + "、夜行"
                                                         : "第" + numeral + "节 夜行");
            }
            book.text(4);
        }
        EXPECT_EQ(found(book), book.headings) << form;
    }
}

TEST_P(ChapterListTest, TablesOfContentsWithSectionsSummariesOrAtTheEnd) {
    for (int kind = 0; kind < 3; ++kind) {
        Book book;
        book.other("青云记");
        const auto contents = [&] {
            book.other("目录");
            for (unsigned n = 1; n <= 5; ++n) {
                book.other("第" + chinese(n) + "章 风起云涌" + chinese(n));
                if (kind == 0) book.other("一、山雨");
                if (kind == 1) book.other("　　少年离家，路遇故人");
            }
        };
        if (kind < 2) contents();
        for (unsigned n = 1; n <= 5; ++n) {
            book.heading("第" + chinese(n) + "章 风起云涌" + chinese(n));
            book.text(3);
        }
        if (kind == 2) contents();
        EXPECT_EQ(found(book), book.headings) << kind;
    }
}

// What the split counts of each chapter is what the pass counted.
TEST_P(ChapterListTest, ChaptersAreMeasuredAsTheSplitCountsThem) {
    const Book book = bookOf({{"第一章 起", true}, {"天"}, kBlank, {"第二章 承", true}, {"山水"}});
    const std::shared_ptr<const ChapterMap> map = mapOf(book);
    ASSERT_EQ(map->blocks.size(), 2u);
    const std::uint64_t crlf = GetParam().codec().lineBreak().size();
    EXPECT_EQ(map->blocks[0].characters, 5u + 2 + 1 + 2 + 1);  // 第一章 起, 天, a blank
    EXPECT_EQ(map->blocks[1].characters, 5u + 2 + 2);
    EXPECT_EQ(map->blocks[1].bytes, test::encode("第二章 承山水", GetParam()).size() + 2 * crlf);
    EXPECT_EQ(map->prefaceBytes, test::encode("青云记", GetParam()).size() + crlf);
    EXPECT_EQ(map->byteOrderMark, GetParam().mark().size());
}

INSTANTIATE_TEST_SUITE_P(Encodings, ChapterListTest,
                         ::testing::Values(SourceFormat{Encoding::Gbk, false},
                                           SourceFormat{Encoding::Utf8, false},
                                           SourceFormat{Encoding::Utf8, true},
                                           SourceFormat{Encoding::Utf16Le, true},
                                           SourceFormat{Encoding::Utf16Be, true}));

// A heading whose bytes straddle two of the pieces the file is read in.
TEST(ChapterList, HeadingAcrossAPieceBoundary) {
    test::TempDir dir;
    const std::string heading = test::encode("第二章 风起", SourceFormat{Encoding::Gbk, false});
    std::string text = test::encode("第一章\r\n", SourceFormat{Encoding::Gbk, false});
    while (text.size() + 100 < (std::size_t{256} << 10) - 5) text += std::string(98, 'a') + "\r\n";
    text += std::string((std::size_t{256} << 10) - 5 - text.size(), 'b') + "\r\n";
    const std::uint64_t at = text.size();  // three bytes before the piece's end
    text += heading + "\r\n" + std::string(100, 'c') + "\r\n";
    const ChapterList list = findChapters(dir.write("book.txt", text), nullptr, {});
    ASSERT_EQ(list.map->headings.size(), 2u);
    EXPECT_EQ(list.map->headings[1].offset, at);
}

}  // namespace
}  // namespace tovane
