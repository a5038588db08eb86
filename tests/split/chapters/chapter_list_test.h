// The chapter list of a test book written in each encoding a test is run
// with, as the window and tovane-split --list-chapters ask for it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "split/chapters/chapter_map.h"
#include "split/split_texts.h"
#include "support/encode.h"
#include "support/temp_dir.h"
#include "support/test_book.h"

namespace tovane {

class ChapterListTest : public ::testing::TestWithParam<SourceFormat> {
protected:
    std::shared_ptr<const ChapterMap> mapOf(const test::Book& book, const char* end = "\r\n") {
        const SourceFormat encoding = GetParam();
        const std::string bytes =
            std::string(encoding.mark()) + test::encode(book.utf8(end), encoding);
        const ChapterList list = findChapters(dir.write("book.txt", bytes), nullptr, {true, true, true});
        EXPECT_EQ(list.result, ChapterList::Result::Done) << texts::describe(list.problem);
        return list.map;
    }
    std::vector<std::uint64_t> found(const test::Book& book, const char* end = "\r\n") {
        const std::shared_ptr<const ChapterMap> map = mapOf(book, end);
        std::vector<std::uint64_t> lines;
        if (!map) return lines;
        for (const Chapter& chapter : map->headings) {
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
        test::Book book;
        book.other("青云记");
        book.text(1);
        for (unsigned n = 1; n <= 5; ++n) {
            book.heading(form(n));
            book.text(weak ? 12 : 3);  // weak headings need chapters, not a list
        }
        EXPECT_EQ(found(book), book.headings) << form(1);
    }

    // Every candidate's verdict, by line: the headings' and the others'.
    std::map<std::uint64_t, HeadingReason> verdicts(const test::Book& book) {
        std::map<std::uint64_t, HeadingReason> all;
        const std::shared_ptr<const ChapterMap> map = mapOf(book);
        if (!map) return all;
        for (const Chapter& chapter : map->headings) all[chapter.line] = chapter.reason;
        for (const PassedOver& passed : map->passedOver) all[passed.line] = passed.reason;
        return all;
    }

    test::TempDir dir;
};

}  // namespace tovane
