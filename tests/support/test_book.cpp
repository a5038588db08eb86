#include "support/test_book.h"

namespace tovane::test {

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

void Book::text(int paragraphs) {
    for (int i = 0; i < paragraphs; ++i) {
        lines.push_back(
            "　　山路弯弯，雨一直下。他走了很久，才看见远处的灯火，心里一下子亮了起来，"
            "脚步也快了许多，衣服早就湿透了。");
    }
}

void Book::heading(const std::string& line) {
    lines.push_back(line);
    headings.push_back(lines.size());
}

void Book::other(const std::string& line) {
    lines.push_back(line);
}

std::string Book::utf8(const char* end) const {
    std::string all;
    for (const std::string& line : lines) all += line + end;
    return all;
}

Book bookOf(std::initializer_list<Line> lines, int paragraphs) {
    Book book;
    book.other("青云记");
    for (const Line& line : lines) {
        if (line.heading) {
            book.heading(line.text);
        } else if (*line.text == '\0') {
            book.text(paragraphs);
        } else {
            book.other(line.text);
        }
    }
    return book;
}

}  // namespace tovane::test
