#!/usr/bin/env python3
"""Scores tovane-split --list-chapters on books with known headings (those
bench/chapter_books.py writes): precision and recall over all headings and
per form, the books with both at 0.9 or more, and what the split would make.

    bench/chapter_score.py TOVANE_SPLIT BOOKS_DIR

A true heading counts as found when the list names its line; a listed line
that is no true heading counts against precision, under the form of what it
is when the truth names it (a citation, a repeat, a section, ...) and as
"other" when it doesn't.
"""
import collections
import glob
import os
import subprocess
import sys


def listed(binary, book):
    run = subprocess.run([binary, "--list-chapters", book], capture_output=True, text=True)
    lines, blocks = set(), 0
    for row in run.stdout.splitlines():
        fields = row.split("\t")
        if len(fields) >= 3 and fields[0].isdigit():
            lines.add(int(fields[0]))
        elif row.startswith("共 "):
            blocks = int(row.split()[1])  # 共 N 章：the chapters a split counts
    return lines, blocks


def main():
    binary, folder = sys.argv[1], sys.argv[2]
    found = collections.Counter()    # true headings listed, by form
    true = collections.Counter()     # true headings, by form
    wrong = collections.Counter()    # listed lines that are no heading, by form
    traps = collections.Counter()    # lines that are no heading, by what they are
    listed_all = 0
    good_books = books_with_headings = 0
    parts_ok = 0
    essays = essays_split = 0
    worst = []
    for truth_file in sorted(glob.glob(os.path.join(folder, "*.truth"))):
        book = truth_file[:-len(".truth")] + ".txt"
        truth = {}
        with open(truth_file, encoding="utf-8") as f:
            for row in f:
                line, kind, form = row.rstrip("\n").split("\t")
                truth[int(line)] = (kind, form)
        got, blocks = listed(binary, book)
        headings = {line for line, (kind, _) in truth.items() if kind == "heading"}
        listed_all += len(got)
        for line in headings:
            form = truth[line][1]
            true[form] += 1
            if line in got:
                found[form] += 1
        for line, (kind, form) in truth.items():
            if kind != "heading":
                traps[form] += 1
        for line in got - headings:
            wrong[truth[line][1] if line in truth else "other"] += 1
        if not headings:
            essays += 1
            essays_split += blocks + 1 > 3
            continue
        books_with_headings += 1
        precision = len(got & headings) / len(got) if got else 0.0
        recall = len(got & headings) / len(headings)
        good_books += precision >= 0.9 and recall >= 0.9
        # The numbered sequence: chapters, not the volumes above them.
        sequence = [line for line in headings if truth[line][1] not in ("volume", "two-numbers")]
        parts_ok += blocks >= 0.9 * len(sequence)
        worst.append((min(precision, recall), os.path.basename(book), precision, recall))

    total_true = sum(true.values())
    total_found = sum(found.values())
    print("form            found/true  recall")
    for form in sorted(true):
        print("%-15s %5d/%-5d  %.3f" % (form, found[form], true[form], found[form] / true[form]))
    print("wrongly listed, by what the line is (of the lines of that kind):")
    for form in sorted(set(traps) | set(wrong)):
        print("%-15s %5d/%-5d" % (form, wrong[form], traps[form]))
    precision = total_found / listed_all if listed_all else 0.0
    recall = total_found / total_true if total_true else 0.0
    print("precision %.3f, recall %.3f over %d headings in %d books" %
          (precision, recall, total_true, books_with_headings))
    print("books with both at 0.9 or more: %d of %d" % (good_books, books_with_headings))
    print("books made into at least 0.9x as many chapters as they have: %d of %d" %
          (parts_ok, books_with_headings))
    print("books without headings split into more than 3 parts: %d of %d" % (essays_split, essays))
    worst.sort()
    print("weakest books: " + ", ".join("%s (%.2f, %.2f)" % (name, p, r) for _, name, p, r in worst[:5]))


if __name__ == "__main__":
    main()
