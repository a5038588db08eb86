#!/usr/bin/env python3
"""Writes synthetic Chinese novels whose chapter headings are known, in the
forms downloaded books write them, and a truth file for each.

    bench/chapter_books.py OUT_DIR [BOOKS] [SEED]

Each book mixes a style of headings (numbered, decorated, 正文 NNN, volumes
with chapters numbered again or straight through, two numbers on a line, a
volume heading with its chapter 1 right under it, numbers alone with their
titles below or above them, front and back matter) with what only looks
like a heading (citations and footnotes, end markers, headings printed twice,
sections numbered again in every chapter, tables of contents with sections
or summaries). Some books are essays without numbered headings. The truth
file, BOOK.truth, has a line for each line of the book that matters:

    LINE<TAB>heading<TAB>FORM     a heading a reader cuts at or lists
    LINE<TAB>not<TAB>FORM         a line a chapter list must leave out

Books are written in GBK, UTF-8 (with and without a mark) and UTF-16 LE and
BE, in turn. The same seed gives the same books.
"""
import os
import random
import sys

DIGITS = "零一二三四五六七八九"
HANZI = ("山水风雨云月花鸟江湖剑心人天地夜灯城门客路春秋雪影书生少年将军"
         "古寺长安旧事归途远行相逢离别故乡明日黄昏清晨大漠孤烟")
WORDS = ["他", "她", "我们", "那人", "少年", "老人", "将军", "书生", "客人"]


def chinese(n):
    if n < 10:
        return DIGITS[n]
    if n < 20:
        return "十" + (DIGITS[n % 10] if n % 10 else "")
    if n < 100:
        return DIGITS[n // 10] + "十" + (DIGITS[n % 10] if n % 10 else "")
    if n < 1000:
        rest = n % 100
        tail = "" if rest == 0 else ("零" + DIGITS[rest] if rest < 10 else chinese(rest))
        return DIGITS[n // 100] + "百" + tail
    return DIGITS[n // 1000] + "千" + (chinese(n % 1000) if n % 1000 else "")


class Book:
    def __init__(self, rng):
        self.rng = rng
        self.lines = []
        self.truth = {}  # line number -> (kind, form)

    def add(self, line, kind=None, form=None):
        self.lines.append(line)
        if kind:
            self.truth[len(self.lines)] = (kind, form)

    def title(self, low=2, high=6):
        return "".join(self.rng.choice(HANZI) for _ in range(self.rng.randint(low, high)))

    def sentence(self):
        rng = self.rng
        parts = [rng.choice(WORDS) + "".join(rng.choice(HANZI) for _ in range(rng.randint(4, 14)))
                 for _ in range(rng.randint(2, 5))]
        return "，".join(parts) + rng.choice("。。。！？")

    def paragraph(self):
        return "　　" + "".join(self.sentence() for _ in range(self.rng.randint(1, 4)))

    def text(self, paragraphs, blank):
        for _ in range(paragraphs):
            self.add(self.paragraph())
            if blank:
                self.add("")


def number(rng, n, style):
    if style == "chinese":
        return chinese(n)
    if style == "padded":
        return "%03d" % n
    return str(n)


def make_book(rng, index):
    book = Book(rng)
    style = rng.choice(["numbered", "numbered", "decorated", "body", "volumes", "volumes",
                        "two-numbers", "two-line", "title-above", "essays", "english",
                        "volume-prefix", "weak", "subsections"])
    blank = rng.random() < 0.6
    numerals = rng.choice(["chinese", "arabic"])
    word = rng.choice("章章章回话" if style == "subsections" else "章章章回节话")
    chapters_per_volume = rng.randint(4, 12)
    volumes = rng.randint(2, 5) if style in ("volumes", "two-numbers", "volume-prefix",
                                             "weak") else 1
    messy = rng.random() < 0.5  # slips of numbering, site texts after titles, indents, mentions
    straight_through = rng.random() < 0.4  # chapters numbered across volumes
    repeats = rng.random() < 0.35
    sections = rng.choice([None, None, "listed", "bracketed"])
    citations = rng.random() < 0.5
    end_markers = rng.random() < 0.4
    contents = rng.choice([None, None, "plain", "sections", "summaries"])
    matter = rng.random() < 0.5
    paragraphs = (4, 14)

    book.add(book.title(3, 8))
    book.add("作者：" + book.title(2, 3))
    book.add("")
    if style == "essays":
        for _ in range(rng.randint(10, 30)):
            book.add(book.title(3, 9))
            book.text(rng.randint(3, 10), blank)
            if rng.random() < 0.3:
                book.add(chinese(1))
                book.text(2, blank)
        return book

    # The chapters' own titles, to come back in a table of contents.
    plan = []  # (volume, chapter number, title)
    count = 0
    for v in range(1, volumes + 1):
        for c in range(1, chapters_per_volume + 1):
            count += 1
            plan.append((v, count if straight_through else c, book.title()))
    if messy and len(plan) > 6:
        # An author's slips: a number skipped, a number twice.
        slip = rng.randint(2, len(plan) - 3)
        v, n, t = plan[slip]
        if rng.random() < 0.5:
            plan[slip] = (v, n + 1, t)
        else:
            plan[slip] = (v, n - 1, t)

    def heading_text(v, n, title, first_of_volume):
        num = number(rng, n, numerals)
        if messy and rng.random() < 0.3:
            num = number(rng, n, rng.choice(["chinese", "arabic"]))
        if style == "volume-prefix":
            return "第%s卷 %s 第%s%s %s" % (chinese(v), "江湖" if v % 2 else "庙堂", num, word, title)
        if style == "weak":
            return "%s %s" % (chinese(n), title)
        if style == "decorated":
            decoration = rng.choice(["◆ 《%s》 %s ◆", "【%s】", "★%s★", "●%s", "[(%s)]"])
            core = "第%s%s %s" % (num, word, title)
            if decoration.startswith("◆"):
                return decoration % (book.title(4, 10), "第%s%s　%s" % (chinese(n), word, title))
            return decoration % core
        if style == "body":
            variant = rng.random()
            if variant < 0.1:
                return "正文 %03d %s！" % (n, title)
            if variant < 0.2:
                return "正文 %03d%s" % (n, title)
            if variant < 0.3:
                return "正文 %03d %s （求收藏推荐票）" % (n, title)
            return "正文 %03d %s" % (n, title)
        if style == "english":
            return "Chapter %d %s" % (n, title)
        return "第%s%s %s" % (num, word, title)

    if matter:
        name = rng.choice(["序", "序言", "自序", "代序", "前言", "引子", "楔子"])
        book.add(name if rng.random() < 0.5 else name + "　" + book.title())
        book.truth[len(book.lines)] = ("heading", "matter")
        book.text(rng.randint(2, 6), blank)

    def table_of_contents():
        book.add("目录")
        for v, n, title in plan:
            book.add(heading_text(v, n, title, False), "not", "contents")
            if contents == "sections":
                for s in range(1, rng.randint(2, 3)):
                    book.add("%s、%s" % (chinese(s), book.title()), "not", "contents")
            elif contents == "summaries":
                book.add("　　" + book.title(8, 20))
        book.add("")

    contents_at_end = contents and rng.random() < 0.25
    if contents and not contents_at_end:
        table_of_contents()

    last_volume = 0
    for v, n, title in plan:
        first_of_volume = v != last_volume
        if first_of_volume and volumes > 1:
            last_volume = v
            vword = rng.choice("卷部")
            vtitle = book.title()
            if style == "two-numbers":
                kind = rng.choice(["季卷", "卷章"])
                if kind == "季卷":
                    book.add("第%s季 第%s卷 %s" % (chinese((v + 1) // 2), chinese(v), vtitle),
                             "heading", "two-numbers")
                else:
                    book.add("第%s卷 %s 第%s%s %s" % (chinese(v), vtitle, chinese(n), word, title),
                             "heading", "two-numbers")
                    book.text(rng.randint(*paragraphs), blank)
                    continue
            else:
                book.add("第%s%s %s" % (chinese(v), vword, vtitle), "heading", "volume")
            if rng.random() < 0.5:
                # The volume's chapter 1 right under it: one block.
                if rng.random() < 0.3:
                    book.add(book.title(4, 10))
                elif blank:
                    book.add("")
            else:
                book.text(rng.randint(1, 3), blank)
        if style == "two-line":
            book.add("第%s%s" % (chinese(n), word), "heading", "two-line")
            book.add(title, "not", "title-line")
        elif style == "title-above":
            book.add(title, "not", "title-line")
            book.add("第%s%s" % (chinese(n), word), "heading", "title-above")
        else:
            form = {"decorated": "decorated", "body": "body", "english": "english",
                    "volume-prefix": "volume-prefix", "weak": "weak"}.get(style, "numbered")
            text = heading_text(v, n, title, first_of_volume)
            if messy and rng.random() < 0.15 and style not in ("weak", "body"):
                text += " 更新时间:2011-%d-%d %02d:%02d:00 本章字数:%d" % (
                    rng.randint(1, 12), rng.randint(1, 28), rng.randint(0, 23),
                    rng.randint(0, 59), rng.randint(2000, 6000))
            if messy and rng.random() < 0.2:
                text = "　　" + text
            book.add(text, "heading", form)
        if repeats and style not in ("two-line", "title-above") and rng.random() < 0.5:
            # The heading again, after a blank line or a site's banner.
            printed = book.lines[-1]
            book.add(rng.choice(["", "本书来自 www.example.com", "更多精彩请访问某某小说网"]))
            book.add(printed, "not", "repeat")
        if citations and rng.random() < 0.3:
            book.add("　　“%s”" % book.sentence())
            choice = rng.choice(["——某氏《旧史通录·第%s卷》" % chinese(rng.randint(50, 300)),
                                 "《同上·第%s卷》" % chinese(rng.randint(50, 300)),
                                 "② 见第%s卷。——译者" % chinese(rng.randint(2, 20)),
                                 "army，第%d集团军；first" % rng.randint(2, 40)])
            book.add(choice, "not", "citation")
        if messy and rng.random() < 0.2:
            book.add(rng.choice(["　　“你读到第%s章了吗？”" % chinese(rng.randint(1, 9)),
                                 "　　他翻到第%s章的时候，天已经黑了。" % chinese(rng.randint(1, 9)),
                                 "第%s次会议" % chinese(rng.randint(1, 9))]), "not", "mention")
        if style == "subsections":
            for s in range(1, rng.randint(2, 4) + 1):
                book.text(rng.randint(2, 4), blank)
                book.add("第%s节 %s" % (chinese(s), book.title()), "not", "section")
        sect = rng.randint(2, 4) if sections else 0
        for s in range(1, sect + 1):
            book.text(rng.randint(2, 5), blank)
            if sections == "listed":
                book.add("%s、%s" % (chinese(s), book.title()), "not", "section")
            else:
                book.add("（%d）" % s, "not", "section")
        book.text(rng.randint(*paragraphs), blank)
        if end_markers and rng.random() < 0.2:
            book.add(rng.choice(["第%s章完" % chinese(n), "（第%s卷完）" % chinese(v), "第%s卷终" % chinese(v),
                                 "1983.5.8　第%s部修改毕" % chinese(v)]), "not", "end-marker")
    if contents_at_end:
        table_of_contents()
    if matter:
        name = rng.choice(["后记", "跋", "附录一", "附录", "正文 尾声", "尾声", "番外一 " + book.title()])
        book.add(name, "heading", "matter")
        book.text(rng.randint(2, 5), blank)
        if name.startswith("番外"):
            book.add("番外二 " + book.title(), "heading", "matter")
            book.text(rng.randint(2, 5), blank)
    return book


ENCODINGS = [("gbk", b""), ("utf-8", b""), ("utf-8", b"\xef\xbb\xbf"), ("utf-16-le", b"\xff\xfe"),
             ("utf-16-be", b"\xfe\xff")]


def main():
    out = sys.argv[1]
    books = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261208)
    os.makedirs(out, exist_ok=True)
    for index in range(books):
        book = make_book(rng, index)
        encoding, mark = ENCODINGS[index % len(ENCODINGS)]
        name = os.path.join(out, "book%03d" % index)
        with open(name + ".txt", "wb") as f:
            f.write(mark + "\r\n".join(book.lines).encode(encoding) + "\r\n".encode(encoding))
        with open(name + ".truth", "w", encoding="utf-8") as f:
            for line in sorted(book.truth):
                kind, form = book.truth[line]
                f.write("%d\t%s\t%s\n" % (line, kind, form))


if __name__ == "__main__":
    main()
