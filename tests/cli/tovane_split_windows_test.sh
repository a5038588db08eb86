#!/usr/bin/env bash
# Runs tovane-split.exe under Wine as a script on Windows would: exit codes,
# streams, Chinese paths, refusals; and checks that it cuts a generated novel
# into the same parts, byte for byte, as the Linux build.
#   tovane_split_windows_test.sh WINE EXE [LINUX_BUILD_DIR]
set -u
wine=$1
exe=$2
linux=${3:-}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/check.sh"
win() { winepath -w "$1" 2> /dev/null; }
split() { "$wine" "$exe" "$@"; }

mkdir "$dir/输出"
printf 'a\r\nb\nc' > "$dir/小说.txt"
split --size 0 "$(win "$dir/小说.txt")" "$(win "$dir/输出")" > "$dir/stdout" 2> "$dir/stderr"
check "split exits 0" test $? -eq 0
check "summary on stdout in UTF-8" grep -qx '【小说.Txt 】已经被分割成了“3”个文件,每个文件“0”KB' \
    <(tr -d '\r' < "$dir/stdout")
check "stderr quiet" test ! -s "$dir/stderr"
check "Chinese part names" cmp -s "$dir/输出/小说_2.txt" <(printf 'b\r\n')
check "no hidden file stays" test -z "$(find "$dir/输出" -name '.*' -type f)"

split --size 0 "$(win "$dir/小说.txt")" "$(win "$dir/输出")\\" > /dev/null
check "a trailing backslash is taken" test $? -eq 0

split "$(win "$dir/missing.txt")" "$(win "$dir/输出")" > /dev/null 2> "$dir/stderr"
check "missing source exits 1" test $? -eq 1
check "missing source message" grep -q '要分割的TXT文件路径不正确！' "$dir/stderr"
split "$(win "$dir/小说.txt")" "$(win "$dir/nowhere")" > /dev/null 2> "$dir/stderr"
check "missing folder exits 1" test $? -eq 1
split --bogus > /dev/null 2>&1
check "bad usage exits 2" test $? -eq 2
split --base '..\escaped' "$(win "$dir/小说.txt")" "$(win "$dir/输出")" > /dev/null 2>&1
check "a base name with a folder is wrong usage" test $? -eq 2
split --version | grep -q '^tovane-split [0-9]'
check "--version" test "${PIPESTATUS[0]}" -eq 0

rm -rf "$dir/输出"/* && mkdir "$dir/输出/小说_2.txt"
split --size 0 "$(win "$dir/小说.txt")" "$(win "$dir/输出")" > /dev/null 2> "$dir/stderr"
check "a folder at a part name exits 1" test $? -eq 1
check "... and is named" grep -q '这是一个文件夹' "$dir/stderr"
check "... after the part before it" cmp -s "$dir/输出/小说_1.txt" <(printf 'a\r\n')

# The source under a part's name in other letters is a part's name on Windows.
rm -rf "$dir/输出"/* && printf 'x\r\ny\r\n' > "$dir/输出/小说_2.TXT" && echo OLD > "$dir/输出/小说_1.txt"
split --size 0 --base 小说 "$(win "$dir/输出/小说_2.TXT")" "$(win "$dir/输出")" > /dev/null 2> "$dir/stderr"
check "the source as 小说_2.TXT is refused" test $? -eq 1
check "... before part 1 is touched" grep -qx OLD "$dir/输出/小说_1.txt"

# One run at a time into one folder with one base name, under Wine too; a
# run killed outright leaves hidden parts that the next run clears away.
rm -rf "$dir/输出"/*
for i in $(seq 3000); do printf 'line %04d\r\n' "$i"; done > "$dir/many.txt"
split --size 0 "$(win "$dir/many.txt")" "$(win "$dir/输出")" > /dev/null 2>&1 &
first=$!
for _ in $(seq 300); do [ -n "$(ls -A "$dir/输出")" ] && break; sleep 0.1; done
split --size 0 --base many "$(win "$dir/小说.txt")" "$(win "$dir/输出")" > /dev/null 2> "$dir/stderr"
check "a second run into the same folder and base exits 1" test $? -eq 1
check "... saying another run writes there" grep -q '另一个分割正在向这个文件夹写入 many_\*.txt' "$dir/stderr"
wineserver -k 2> /dev/null  # every Windows process of the prefix ends at once, as a kill would
wait "$first" 2> /dev/null
echo x > "$dir/输出/.many_9.txt.tovane-abc123"
echo mine > "$dir/输出/.many_1.txt.swp"
split --size 0 --base many "$(win "$dir/小说.txt")" "$(win "$dir/输出")" > /dev/null 2>&1
check "after a kill, the next run goes ahead" test $? -eq 0
check "... and clears the hidden parts left" test -z "$(find "$dir/输出" -name '.many_*.tovane-*')"
check "... but not a file of the user's" grep -qx mine "$dir/输出/.many_1.txt.swp"

# The same parts as the Linux build, for a generated GBK novel.
if [ -n "$linux" ] && [ -x "$linux/src/cli/tovane-split" ] && [ -x "$linux/bench/make_corpus" ]; then
    "$linux/bench/make_corpus" "$dir/novel.txt" 8
    mkdir "$dir/linux" "$dir/windows"
    "$linux/src/cli/tovane-split" --size 100 "$dir/novel.txt" "$dir/linux" > /dev/null
    split --size 100 "$(win "$dir/novel.txt")" "$(win "$dir/windows")\\" > /dev/null
    check "the Windows build splits a novel into the Linux build's parts" \
        diff -r "$dir/linux" "$dir/windows"
    check "... of which there are many" test "$(ls "$dir/windows" | wc -l)" -gt 50
    mkdir "$dir/linux-cap" "$dir/windows-cap"
    "$linux/src/cli/tovane-split" --max-size 64 "$dir/novel.txt" "$dir/linux-cap" > /dev/null
    split --max-size 64 "$(win "$dir/novel.txt")" "$(win "$dir/windows-cap")" > /dev/null
    check "... and the same parts under a strict cap, long lines cut alike" \
        diff -r "$dir/linux-cap" "$dir/windows-cap"
    # Titled names hold the book's Chinese headings, and UTF-8 parts are the
    # same bytes: one table of GB18030 in both builds.
    mkdir "$dir/linux-utf8" "$dir/windows-utf8"
    "$linux/src/cli/tovane-split" --chapters 2 --title-names --to-utf8 "$dir/novel.txt" \
        "$dir/linux-utf8" > /dev/null
    split --chapters 2 --title-names --to-utf8 "$(win "$dir/novel.txt")" \
        "$(win "$dir/windows-utf8")" > /dev/null
    check "... titled UTF-8 parts, names and bytes alike" diff -r "$dir/linux-utf8" "$dir/windows-utf8"
    check "... with Chinese headings in their names" \
        test "$(ls "$dir/windows-utf8" | grep -c "^novel_[0-9]* 第.*章")" -gt 20
fi

finish
