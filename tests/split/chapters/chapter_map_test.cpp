// Chapters as real downloaded books mark them, in every encoding: each
// test book is written here, in the forms such books use, and the chapter
// list must find exactly its headings.
#include "split/chapters/chapter_map.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/encode.h"
#include "support/temp_dir.h"

namespace tovane {
namespace {

std::string chinese(unsigned n) {
    static const char* const digits[] = {"零", "一", "二", "三", "四",
                                         "五", "六", "七", "八", "九"};
    if (n < 10) return digits[n];
    if (n < 20) return std::string("十") + (n % 10 ? digits[n % 10] : "");
    if (n < 100) return std::string(digits[n / 10]) + "十" + (n % 10 ? digits[n % 10] : "");
    if (n < 1000) {
        const unsigned rest = n % 100;
        return std::string(digits[n / 100]) + "百" +
               (rest == 0   ? ""
                : rest < 10 ? std::string("零") + digits[rest]
                            : chinese(rest));
    }
    return std::string(n / 1000 == 2 ? "两" : digits[n / 1000]) + "千" +
           (n % 1000 ? chinese(n % 1000) : "");
}

std::string padded(unsigned n, int width) {
    std::string text = std::to_string(n);
    while (static_cast<int>(text.size()) < width) text = "0" + text;
    return text;
}

// A book being written: lines, and the numbers of those that are headings.
struct Book {
    std::vector<std::string> lines;
    std::vector<std::uint64_t> headings;

    void text(int paragraphs = 3) {
        for (int i = 0; i < paragraphs; ++i) {
            lines.push_back(
                "　　山路弯弯，雨一直下。他走了很久，才看见远处的灯火，心里一下子亮了起来，"
                "脚步也快了许多，衣服早就湿透了。");
        }
    }
    void heading(const std::string& line) {
        lines.push_back(line);
        headings.push_back(lines.size());
    }
    void other(const std::string& line) { lines.push_back(line); }
    std::string utf8(const char* end = "\r\n") const {
        std::string all;
        for (const std::string& line : lines) all += line + end;
        return all;
    }
};

class ChapterListTest : public ::testing::TestWithParam<TextEncoding> {
protected:
    std::vector<std::uint64_t> found(const Book& book, const char* end = "\r\n") {
        const TextEncoding encoding = GetParam();
        const std::string bytes =
            std::string(byteOrderMark(encoding)) + test::encode(book.utf8(end), encoding);
        const ChapterList list = findChapters(dir.write("book.txt", bytes), nullptr, {true, false});
        EXPECT_EQ(list.result, ChapterList::Result::Done) << list.message;
        std::vector<std::uint64_t> lines;
        if (!list.map) return lines;
        for (const Chapter& chapter : list.map->headings) {
            lines.push_back(chapter.line);
            EXPECT_EQ(chapter.text,
                      book.lines.at(chapter.line - 1)
                          .substr(book.lines[chapter.line - 1].find_first_not_of(" ")))
                << "the heading's own text";
        }
        return lines;
    }
    // A book of five chapters whose headings `form` writes for 1..5.
    void expectChapters(const std::function<std::string(unsigned)>& form, bool weak = false) {
        Book book;
        book.other("青云记");
        book.text(1);
        for (unsigned n = 1; n <= 5; ++n) {
            book.heading(form(n));
            book.text(weak ? 12 : 3);  // weak headings need chapters, not a list
        }
        EXPECT_EQ(found(book), book.headings) << form(1);
    }

    test::TempDir dir;
};

TEST_P(ChapterListTest, HeadingsWithAPrefixBlanksOrOtherNumbers) {
    const std::vector<std::function<std::string(unsigned)>> forms = {
        [](unsigned n) { return "正文 第" + chinese(n) + "章 青云初起（上）"; },
        [](unsigned n) { return "【正文】    第" + std::to_string(n) + "节：风起"; },
        [](unsigned n) { return "《青云记》第" + chinese(n) + "章(1)"; },
        [](unsigned n) { return "●第" + chinese(n) + "章  绪论"; },
        [](unsigned n) { return "[(第" + std::to_string(n) + "章 山雨欲来)]"; },
        [](unsigned n) { return "网友上传章节 第" + chinese(n) + "章 夜渡江城"; },
        [](unsigned n) { return "青云记_第" + std::to_string(n) + "章"; },
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

INSTANTIATE_TEST_SUITE_P(Encodings, ChapterListTest,
                         ::testing::Values(TextEncoding::Gbk, TextEncoding::Utf8,
                                           TextEncoding::Utf8Bom, TextEncoding::Utf16Le,
                                           TextEncoding::Utf16Be));

// A heading whose bytes straddle two of the pieces the file is read in.
TEST(ChapterList, HeadingAcrossAPieceBoundary) {
    test::TempDir dir;
    const std::string heading = test::encode("第二章 风起", TextEncoding::Gbk);
    std::string text = test::encode("第一章\r\n", TextEncoding::Gbk);
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
