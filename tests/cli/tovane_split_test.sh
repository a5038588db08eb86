#!/usr/bin/env bash
# Runs tovane-split as a script would and checks exit codes, streams and parts.
set -u
bin=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
check() {  # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

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
check "count 0 exits 1" test $? -eq 1
check "count message" grep -q '请输入正确的分割文件个数！' "$dir/stderr"

"$bin" --bogus 2> /dev/null > /dev/null
check "bad usage exits 2" test $? -eq 2
"$bin" --version | grep -q '^tovane-split [0-9]'
check "--version" test "${PIPESTATUS[0]}" -eq 0
"$bin" --help | grep -q 'Usage: tovane-split'
check "--help" test "${PIPESTATUS[0]}" -eq 0

: > "$dir/empty.txt"
"$bin" "$dir/empty.txt" "$dir/out" > "$dir/stdout"
check "empty source exits 0" test $? -eq 0
check "empty source says so" grep -q '是空文件' "$dir/stdout"
check "empty source makes no part" test ! -e "$dir/out/empty_1.txt"

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
rm -rf "$dir/out" && mkdir "$dir/out"
head -c 40000000 /dev/zero | tr '\0' 'y' | fold -w 3998 | sed 's/$/\r/' > "$dir/long.txt"
"$bin" --size 0 "$dir/long.txt" "$dir/out" > /dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -e "$dir/out/long_50.txt" ] && break; sleep 0.02; done
kill -INT "$pid"
wait "$pid"
check "Ctrl+C exits 130" test $? -eq 130
whole=1
for part in "$dir"/out/long_*.txt; do
    [ "$(stat -c %s "$part")" -eq 4000 ] || whole=0
done
check "parts left after Ctrl+C are whole" test "$whole" -eq 1
check "Ctrl+C came before the end" test ! -e "$dir/out/long_10005.txt"

exit $((failures > 0))
