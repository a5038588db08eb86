#!/usr/bin/env bash
# Runs tovane-split as a script would and checks exit codes, streams and parts.
set -u
bin=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/check.sh"

mkdir "$dir/out"
printf 'a\r\nb\r\nc' > "$dir/novel.txt"

"$bin" --size 0 "$dir/novel.txt" "$dir/out" > "$dir/stdout" 2> "$dir/stderr"
check "split exits 0" test $? -eq 0
check "summary on stdout" grep -qx '【novel.Txt 】已经被分割成了“3”个文件,每个文件“0”KB' "$dir/stdout"
check "stderr quiet when not a terminal" test ! -s "$dir/stderr"
check "part 3 gains CR LF" cmp -s "$dir/out/novel_3.txt" <(printf 'c\r\n')

"$bin" "$dir/missing.txt" "$dir/out" > "$dir/stdout" 2> "$dir/stderr"
check "missing source exits 1" test $? -eq 1
check "missing source message on stderr" grep -q '要分割的TXT文件路径不正确！' "$dir/stderr"

"$bin" "$dir/novel.txt" "$dir/nowhere" 2> "$dir/stderr" > /dev/null
check "missing folder exits 1" test $? -eq 1
check "missing folder message" grep -q '要保存分割后的TXT文件的路径不存在！' "$dir/stderr"

"$bin" --parts 0 "$dir/novel.txt" "$dir/out" 2> "$dir/stderr" > /dev/null
check "count 0 is wrong usage" test $? -eq 2
check "count message" grep -q '请输入正确的分割文件个数！' "$dir/stderr"

"$bin" --bogus 2> /dev/null > /dev/null
check "bad usage exits 2" test $? -eq 2
"$bin" --version | grep -q '^tovane-split [0-9]'
check "--version" test "${PIPESTATUS[0]}" -eq 0
"$bin" --help > "$dir/stdout"
check "--help" test $? -eq 0
check "... with one usage block" test "$(grep -c 'tovane-split \[--size' "$dir/stdout")" -eq 1

: > "$dir/empty.txt"
"$bin" "$dir/empty.txt" "$dir/out" > "$dir/stdout"
check "empty source exits 0" test $? -eq 0
check "empty source says so" grep -q '是空文件' "$dir/stdout"
check "empty source makes no part" test ! -e "$dir/out/empty_1.txt"

"$bin" /proc/cpuinfo "$dir/out" > "$dir/stdout" 2> "$dir/stderr"
check "a file whose size reads 0 but holds bytes exits 1" test $? -eq 1
check "... saying why" grep -q '大小读出来是 0' "$dir/stderr"

mkfifo "$dir/fifo.txt"
timeout 10 "$bin" "$dir/fifo.txt" "$dir/out" 2> "$dir/stderr" > /dev/null
check "a FIFO is refused, not waited on" test $? -eq 1

# A file-size limit mid-run: reported, exit 1, no incomplete part.
head -c 300000 /dev/zero | tr '\0' 'x' | fold -w 98 | sed 's/$/\r/' > "$dir/big.txt"
( ulimit -f 50; "$bin" --size 60 "$dir/big.txt" "$dir/out" ) > /dev/null 2> "$dir/stderr"
check "file-size limit exits 1" test $? -eq 1
check "file-size limit reported" grep -q '文件超过了允许的最大大小' "$dir/stderr"
check "the part cut off by the limit is removed" test ! -e "$dir/out/big_1.txt"

# Ctrl+C mid-run: stops between two lines and removes the part being written.
# Job control on, so that the background job doesn't start with Ctrl+C ignored.
rm -rf "$dir/out" && mkdir "$dir/out"
head -c 40000000 /dev/zero | tr '\0' 'y' | fold -w 398 | sed 's/$/\r/' > "$dir/long.txt"
started() {  # waits until the run has begun its parts
    for _ in $(seq 3000); do
        [ -n "$(ls -A "$dir/out")" ] && return
        sleep 0.01
    done
}
whole_parts_only() {  # every part under its own name is whole, nothing hidden is left
    [ -z "$(find "$dir/out" -name 'long_*.txt' ! -size 400c)" ] &&
        [ -z "$(find "$dir/out" -name '.*' -type f)" ]
}
start_long_run() {  # a run into an empty folder, in its own group, once its first part shows
    rm -rf "$dir/out" && mkdir "$dir/out"
    set -m
    "$bin" --size 0 "$dir/long.txt" "$dir/out" > /dev/null 2>&1 &
    pid=$!
    set +m
    started
}
for signal in INT HUP; do
    start_long_run
    kill -"$signal" "$pid"
    wait "$pid"
    status=$?
    [ "$signal" = INT ] && expected=130 || expected=129
    check "SIG$signal exits $expected" test "$status" -eq "$expected"
    check "parts left after SIG$signal are whole, nothing hidden stays" whole_parts_only
    check "SIG$signal came before the end" test ! -e "$dir/out/long_100503.txt"
done

# A background job of a script starts with SIGINT ignored; it stays ignored.
rm -rf "$dir/out" && mkdir "$dir/out"
( trap '' INT; exec "$bin" --size 0 "$dir/long.txt" "$dir/out" > /dev/null 2>&1 ) &
pid=$!
started
kill -INT "$pid" 2> /dev/null
wait "$pid"
check "an ignored SIGINT stays ignored" test $? -eq 0
check "... and the split runs to its end" test -e "$dir/out/long_100503.txt"

# Part files: a plain base name, nothing written through what holds a name.
printf 'l1\r\nl2\r\nl3\r\n' > "$dir/a.txt"
mkdir -p "$dir/sub/save" "$dir/v" && rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --base ../escaped "$dir/a.txt" "$dir/sub/save" > /dev/null 2>&1
check "a base name with a folder is wrong usage" test $? -eq 2
check "... and nothing lands outside the folder" test ! -e "$dir/sub/escaped_1.txt"
echo precious > "$dir/v/imp.conf"
ln -s "$dir/v/imp.conf" "$dir/out/a_1.txt"
mkfifo "$dir/out/a_2.txt"
timeout 10 "$bin" --size 0 "$dir/a.txt" "$dir/out" > /dev/null
check "links and FIFOs at part names are replaced" test $? -eq 0
check "... not written through" grep -qx precious "$dir/v/imp.conf"
check "... by whole parts" cmp -s "$dir/out/a_2.txt" <(printf 'l2\r\n')
"$bin" "$dir/a.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "parts left from before keep exit 0" test $? -eq 0
check "... and are named" grep -qx 'tovane-split: 保存文件夹里还有以前留下的 a_2.txt 等 2 个文件，它们不是这次分割的结果。' "$dir/stderr"

# Lines ending in LF alone are lines too.
printf 'a\nb\nc\n' > "$dir/lf.txt"
"$bin" --size 0 "$dir/lf.txt" "$dir/out" > "$dir/stdout"
check "LF lines make a part each" grep -q '“3”个文件' "$dir/stdout"

# Chapters: N a part, the preface with the first ones; a user's rule; none found.
printf '书名\r\n第一章 起\r\na\r\n第二章 承\r\nb\r\n第三章 转\r\nc\r\n' > "$dir/ch.txt"
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --chapters 2 "$dir/ch.txt" "$dir/out" > "$dir/stdout"
check "--chapters exits 0" test $? -eq 0
check "... and counts chapters" grep -qx '【ch.Txt 】已经被分割成了“2”个文件,每个文件“2”章' "$dir/stdout"
check "... the preface with the first" cmp -s "$dir/out/ch_1.txt" <(printf '书名\r\n第一章 起\r\na\r\n第二章 承\r\nb\r\n')
rm -rf "$dir/out" && mkdir "$dir/out"
(cd "$dir/out" && "$bin" --list-chapters --chapters 2 "$dir/ch.txt") > "$dir/stdout"
check "--list-chapters exits 0" test $? -eq 0
check "... a heading a line: its line, its part, its text, its level, its chapter" \
    cmp -s <(head -n 3 "$dir/stdout") \
    <(printf '2\t1\t第一章 起\t章\t1\n4\t1\t第二章 承\t章\t2\n6\t2\t第三章 转\t章\t3\n')
check "... and the totals" grep -qx '共 3 章；每个文件 2 章，分割成 2 个文件' "$dir/stdout"
"$bin" --list-chapters --chapters 18446744073709551615 "$dir/ch.txt" > "$dir/stdout"
check "... in one part however many chapters a part takes" grep -q '分割成 1 个文件$' "$dir/stdout"
check "... naming the encoding it read" test "$(tail -n 1 "$dir/stdout")" = '编码：UTF-8'
"$bin" --list-chapters --chapters 0 "$dir/ch.txt" > /dev/null 2>&1
check "... and --chapters 0 is wrong usage there too" test $? -eq 2
"$bin" --chapters 0 "$dir/ch.txt" "$dir/out" > /dev/null 2>&1
check "--chapters 0 is wrong usage" test $? -eq 2
script -qec "'$bin' --list-chapters '$dir/ch.txt'" /dev/null > "$dir/tty" 2>&1
check "... its tabs stay tabs on a terminal" grep -q "$(printf '^2\t1\t第一章 起')" "$dir/tty"
check "... writing no file" test -z "$(ls -A "$dir/out")"
printf '书名\r\n目录\r\n第一章 起\r\n第二章 承\r\n第三章 转\r\n第一章 起\r\na\r\n第一章 起\r\n第二章 承\r\nb\r\n第三章 转\r\nc\r\n第三章完\r\n' > "$dir/why.txt"
"$bin" --list-chapters --why "$dir/why.txt" > "$dir/stdout"
check "--list-chapters --why exits 0" test $? -eq 0
check "... every candidate: its line, the verdict, the reason, its text" \
    cmp -s <(sed -n '5,10p' "$dir/stdout") \
    <(printf '5\t弃\t目录\t第三章 转\n6\t取\t按序号\t第一章 起\n8\t弃\t重复\t第一章 起\n9\t取\t按序号\t第二章 承\n11\t取\t按序号\t第三章 转\n13\t弃\t结束标记\t第三章完\n')
"$bin" --why "$dir/why.txt" "$dir/out" > /dev/null 2>&1
check "--why goes with --list-chapters only" test $? -eq 2
"$bin" --list-chapters "$dir/a.txt" > /dev/null 2> "$dir/stderr"
check "--list-chapters without a heading exits 1" test $? -eq 1
check "... with its message" grep -q '没有找到章节标题' "$dir/stderr"
"$bin" --chapters 1 --heading '^[a-c]$' "$dir/ch.txt" "$dir/out" > "$dir/stdout"
check "a user's rule for headings" grep -q '“3”个文件,每个文件“1”章' "$dir/stdout"
"$bin" --chapters 1 --heading '第(' "$dir/ch.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a bad rule is wrong usage" test $? -eq 2
check "... saying what is wrong" grep -q 'no regular expression' "$dir/stderr"
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --chapters 1 "$dir/a.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "no heading exits 1" test $? -eq 1
check "... with its message" grep -q '没有找到章节标题（例如“第一章”），没有生成分割文件。' "$dir/stderr"
check "... and no part" test -z "$(ls -A "$dir/out")"

# Volumes: a part each, what comes before the first with it; none found.
printf '书名\r\n楔子\r\na\r\n第一卷 山\r\n第一章 起\r\nb\r\n第二卷 水\r\n第一章 承\r\nc\r\n' > "$dir/vol.txt"
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --volumes 1 "$dir/vol.txt" "$dir/out" > "$dir/stdout"
check "--volumes exits 0" test $? -eq 0
check "... and counts volumes" grep -qx '【vol.Txt 】已经被分割成了“2”个文件,每个文件“1”卷' "$dir/stdout"
check "... each part opens with its volume" cmp -s "$dir/out/vol_2.txt" <(printf '第二卷 水\r\n第一章 承\r\nc\r\n')
"$bin" --volumes 1 "$dir/ch.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "--volumes without a volume exits 1" test $? -eq 1
check "... with its message" grep -q '没有找到卷标题' "$dir/stderr"

# Names that sort and carry the chapter; parts in UTF-8; the options' usage.
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --chapters 1 --title-names --to-utf8 "$dir/ch.txt" "$dir/out" > "$dir/stdout"
check "--title-names --to-utf8 exits 0" test $? -eq 0
check "... with titled names" test -e "$dir/out/ch_2 第二章 承.txt" -a -e "$dir/out/ch_1.txt"
check "... in UTF-8 with its mark" cmp -s "$dir/out/ch_3 第三章 转.txt" <(printf '\xef\xbb\xbf第三章 转\r\nc\r\n')
check "... and the summary as ever" grep -qx '【ch.Txt 】已经被分割成了“3”个文件,每个文件“1”章' "$dir/stdout"
seq 12 > "$dir/twelve.txt"
"$bin" --size 0 --pad --base ch "$dir/twelve.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "--pad pads to the last number" test -e "$dir/out/ch_01.txt" -a -e "$dir/out/ch_12.txt"
check "... naming the titled parts as old ones" grep -q '还有以前留下的 ch_1.txt 等 3 个文件' "$dir/stderr"
"$bin" --size 1 --title-names "$dir/ch.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "--title-names without chapters is wrong usage" test $? -eq 2
{ printf '第一章\r\n' | iconv -t GBK; printf '\x81\x20\r\n'; } > "$dir/bad.txt"
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --to-utf8 "$dir/bad.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a byte that doesn't convert exits 1" test $? -eq 1
check "... naming its line and offset" grep -q '第 2 行有无法转换为 UTF-8 的字节（偏移 8），没有转换' "$dir/stderr"
check "... and writing nothing" test -z "$(ls -A "$dir/out")"

# A strict cap: no part past it, long lines cut between characters, nothing lost.
printf '\xef\xbb\xbf' > "$dir/cap.txt"
for _ in $(seq 3); do printf '第一章\r\n'; for _ in $(seq 700); do printf '雨'; done; printf '\n短\n'; done >> "$dir/cap.txt"
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --max-size 1 "$dir/cap.txt" "$dir/out" > "$dir/stdout"
check "--max-size exits 0" test $? -eq 0
check "... and says each part is at most the cap" grep -q '个文件,每个文件不超过“1”KB' "$dir/stdout"
check "... no part is larger than 1024 bytes" test -z "$(find "$dir/out" -name 'cap_*.txt' -size +1024c)"
joined() {  # the parts in order, each without its byte-order mark
    local n=1
    while [ -e "$dir/out/cap_$n.txt" ]; do tail -c +4 "$dir/out/cap_$n.txt"; n=$((n + 1)); done
}
check "... the parts joined are the source with CR LF ends" \
    cmp -s <(joined) <(tail -c +4 "$dir/cap.txt" | sed 's/\r$//; s/$/\r/')
check "... every part is UTF-8 on its own" \
    sh -c "for f in '$dir'/out/cap_*.txt; do iconv -f UTF-8 -t UTF-8 \"\$f\" > /dev/null || exit 1; done"
"$bin" --max-size 0.005 "$dir/cap.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a cap too small for a character and CR LF is wrong usage" test $? -eq 2
check "... saying so" grep -q '至少要能放下一个字和换行（9 字节）' "$dir/stderr"

# A heading pattern that would make a backtracking matcher run for hours
# ends at once; what can't be matched without backtracking is wrong usage.
printf 'head\r\n%s\r\n' "$(head -c 4000 /dev/zero | tr '\0' x)" > "$dir/re.txt"
timeout 20 "$bin" --chapters 1 --heading '(x+x+)+y' "$dir/re.txt" "$dir/out" > /dev/null 2>&1
check "a pattern that backtracks forever ends (no heading: exit 1)" test $? -eq 1
"$bin" --chapters 1 --heading '(a)\1' "$dir/re.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a back-reference is wrong usage" test $? -eq 2
check "... saying so" grep -q '反向引用' "$dir/stderr"
"$bin" --chapters 1 --heading '(a{100}){100}' "$dir/re.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a pattern too large is wrong usage" test $? -eq 2
check "... as too complex" grep -q '标题规则太复杂' "$dir/stderr"
"$bin" --chapters 1 --heading '' "$dir/re.txt" "$dir/out" > /dev/null 2>&1
check "an empty pattern is wrong usage" test $? -eq 2

# A source under the lock file's name is refused and stays where it is.
rm -rf "$dir/out" && mkdir "$dir/out"
cp "$dir/a.txt" "$dir/out/.novel.tovane-lock"
"$bin" --base novel "$dir/out/.novel.tovane-lock" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a source named like the lock exits 1" test $? -eq 1
check "... and is still there" cmp -s "$dir/out/.novel.tovane-lock" "$dir/a.txt"

# Base names that would make hidden files.
"$bin" --base . "$dir/a.txt" "$dir/out" > /dev/null 2>&1
check "--base . is wrong usage" test $? -eq 2
"$bin" --base .. "$dir/a.txt" "$dir/out" > /dev/null 2>&1
check "--base .. is wrong usage" test $? -eq 2
cp "$dir/a.txt" "$dir/..txt"
"$bin" "$dir/..txt" "$dir/out" > /dev/null 2>&1
check "a source named ..txt (base name .) is refused as wrong usage" test $? -eq 2

# The source under a later part's name: nothing is replaced.
rm -rf "$dir/out" && mkdir "$dir/out"
cp "$dir/ch.txt" "$dir/out/a_2.txt"
echo OLD > "$dir/out/a_1.txt"
"$bin" --size 0 --base a "$dir/out/a_2.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "the source among the part names exits 1" test $? -eq 1
check "... saying it is the source" grep -q '就是要分割的文件本身' "$dir/stderr"
check "... and the other parts are as they were" grep -qx OLD "$dir/out/a_1.txt"
ln -s ../ch.txt "$dir/out/a_3.txt" && rm "$dir/out/a_2.txt"
"$bin" --size 0 --base a "$dir/ch.txt" "$dir/out" > /dev/null 2>&1
check "... through a link too" grep -qx OLD "$dir/out/a_1.txt"

# A name too long is found before anything is written.
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --size 0 --base "$(head -c 249 /dev/zero | tr '\0' n)" "$dir/long.txt" "$dir/out" \
    > /dev/null 2> "$dir/stderr"
check "a base name too long exits 1" test $? -eq 1
check "... saying so" grep -q '文件名太长' "$dir/stderr"
check "... before any part, hidden or not" test -z "$(ls -A "$dir/out")"
# The message names the first part whose name won't fit, not a bound far
# past the parts: here part 10's hidden name is 256 bytes.
base="$(head -c 234 /dev/zero | tr '\0' n)"
seq 1 4000 > "$dir/lines.txt"
"$bin" --parts 24 --base "$base" "$dir/lines.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "part 10's name too long exits 1" test $? -eq 1
check "... naming part 10" grep -q "${base}_10.txt" "$dir/stderr"
"$bin" --parts 9 --base "$base" "$dir/lines.txt" "$dir/out" > /dev/null 2>&1
check "... while nine parts under that name are made" test -e "$dir/out/${base}_9.txt"

# UTF-16 without a byte-order mark is split as UTF-16, and its parts get none.
printf '\x2c\x7b\x00\x4e\xe0\x7a\x0d\x00\x0a\x00\x60\x4f\x7d\x59\x0d\x00\x0a\x00' > "$dir/u16.txt"
"$bin" --size 0 "$dir/u16.txt" "$dir/out" > /dev/null
check "UTF-16 without a mark: its two lines make two parts" test -e "$dir/out/u16_2.txt" -a ! -e "$dir/out/u16_3.txt"
check "... each whole, without a mark" \
    cmp -s "$dir/out/u16_2.txt" <(printf '\x60\x4f\x7d\x59\x0d\x00\x0a\x00')

# Parts left from before are named after the summary, on every stream.
rm -rf "$dir/out" && mkdir "$dir/out"
for n in 7 8 9 10 12 13; do echo old > "$dir/out/a_$n.txt"; done
"$bin" --size 0 "$dir/a.txt" "$dir/out" > "$dir/both" 2>&1
check "parts left from before: all six are counted" grep -q 'a_7.txt 等 6 个文件' "$dir/both"
check "... after the summary" test "$(grep -n '已经被分割成了' "$dir/both" | cut -d: -f1)" -lt \
    "$(grep -n '以前留下的' "$dir/both" | cut -d: -f1)"

# The names are on disk before the run says it is done: the folder is synced
# after the last part is named.
if command -v strace > /dev/null; then
    rm -rf "$dir/out" && mkdir "$dir/out"
    strace -f -o "$dir/trace" -e trace=renameat2,rename,fsync "$bin" --size 0 "$dir/a.txt" "$dir/out" > /dev/null
    check "the folder is synced after the last part is named" \
        test "$(grep -E 'renameat2|rename\(|fsync' "$dir/trace" | tail -n 1 | grep -c fsync)" -eq 1
fi

# Two runs into one folder with one base name: the second is refused before
# it writes; another base name is not held back.
rm -rf "$dir/out" && mkdir "$dir/out"
"$bin" --size 0 "$dir/long.txt" "$dir/out" > /dev/null 2>&1 &
first=$!
started
"$bin" --size 0 --base long "$dir/a.txt" "$dir/out" > /dev/null 2> "$dir/stderr"
check "a second run into the same folder and base exits 1" test $? -eq 1
check "... saying another run writes there" \
    grep -q '另一个分割正在向这个文件夹写入 long_\*.txt，请等它结束后再试。' "$dir/stderr"
"$bin" --size 0 "$dir/a.txt" "$dir/out" > /dev/null 2>&1
check "another base name into the same folder goes ahead" test $? -eq 0
kill -9 "$first"
wait "$first" 2> /dev/null
"$bin" --size 0 --base long "$dir/a.txt" "$dir/out" > /dev/null 2>&1
check "a run killed outright holds nothing back" test $? -eq 0
check "... and its hidden parts are cleared away by the next" \
    test -z "$(find "$dir/out" -name '.long_*' -type f)"

# A second request to stop ends the program at once, taking the part being
# written with it; the next run clears whatever else was left hidden.
start_long_run
kill -STOP "$pid" && kill -INT "$pid" && kill -TERM "$pid" && kill -CONT "$pid"
wait "$pid"
status=$?
if [ -z "${TOVANE_SIGNALS_DEFERRED:-}" ]; then
    check "a second signal ends the run with its own status" test "$status" -eq 143
else
    check "a second signal ends the run, by one of the two" test "$status" -eq 143 -o "$status" -eq 130
fi
check "... leaving only whole parts under their names" \
    test -z "$(find "$dir/out" -name 'long_*.txt' ! -size 400c)"
check "... and no finished part hidden" test -z "$(find "$dir/out" -name '.long_*.txt.*' -type f)"
"$bin" --size 0 --base long "$dir/a.txt" "$dir/out" > /dev/null 2>&1
check "... and nothing hidden after the next run" test -z "$(find "$dir/out" -name '.*' -type f)"

# A summary that can't be written is a failure, never a death by SIGPIPE.
"$bin" "$dir/a.txt" "$dir/out" > /dev/full 2> "$dir/stderr"
check "summary to a full device exits 1" test $? -eq 1
check "... and says so" grep -q '无法输出分割结果' "$dir/stderr"
"$bin" "$dir/a.txt" "$dir/out" >&- 2> "$dir/stderr"
check "closed stdout exits 1" test $? -eq 1
check "... no part took its place" cmp -s "$dir/out/a_1.txt" <(printf 'l1\r\nl2\r\nl3\r\n')
mkfifo "$dir/pipe"
exec 3<> "$dir/pipe" 4> "$dir/pipe"
exec 3>&-  # fd 4 now writes into a pipe that nobody reads
"$bin" "$dir/a.txt" "$dir/out" >&4 2> /dev/null
check "closed pipe exits 1" test $? -eq 1
exec 4>&-

if [ -z "${TOVANE_SANITIZED:-}" ]; then
    # The least address space the program starts in; a split needs its
    # buffers on top of that.
    least=2048
    until ( ulimit -v "$least"; "$bin" --version ) > /dev/null 2>&1 || [ "$least" -gt 65536 ]; do
        least=$((least + 128))
    done
    ( ulimit -v "$least"; "$bin" "$dir/a.txt" "$dir/out" ) > /dev/null 2> "$dir/stderr"
    check "out of memory exits 1" test $? -eq 1
    check "... with a message" grep -q '内存不足' "$dir/stderr"
fi

# On a terminal, a control character in a name can't reach the terminal raw.
cp "$dir/a.txt" "$dir/$(printf 'bad\033[2Jname').txt"
script -qec "'$bin' '$dir/$(printf 'bad\033[2Jname').txt' '$dir/out'" /dev/null > "$dir/tty" 2>&1
check "control characters are escaped on a terminal" grep -q 'bad\\x1B\[2Jname' "$dir/tty"

finish
