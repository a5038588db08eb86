#!/usr/bin/env bash
# Splits very large sources and checks every byte: a 5 GiB GBK novel and a
# source that is one 300 MiB line, each by size and by count. Prints the time
# and peak memory of every split. Needs about 16 GiB free in $BIG_DIR (default
# /tmp) and a few minutes; not part of the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
work=${BIG_DIR:-/tmp}/tovane-big
scripts/setup bench
cmake --preset release > /dev/null
cmake --build --preset release --target tovane-split make_corpus > /dev/null
bin=$PWD/build/release/src/cli/tovane-split
mkdir -p "$work"

big=$work/novel-5g.txt
[ -s "$big" ] || build/release/bench/make_corpus "$big" 5120
line=$work/one-line.txt
if [ ! -s "$line" ]; then
    # 150 MiB of GBK text and 150 MiB of ASCII without a single CR, then an
    # LF, which belongs to the line: one line of 300 MiB.
    python3 -c '
import sys
out = sys.stdout.buffer
chunk = b"\xb0\xa1" * (1 << 19)
for _ in range(150):
    out.write(chunk)
chunk = b"x" * (1 << 20)
for _ in range(150):
    out.write(chunk)
out.write(b"\n")' > "$line"
fi

check() {  # source, output folder, base name: the parts joined give back the source
    local source=$1 out=$2 name=$3 count
    count=$(find "$out" -name "${name}_*.txt" | wc -l)
    if ! for ((n = 1; n <= count; n++)); do cat "$out/${name}_$n.txt"; done |
        cmp -s - <(cat "$source"; tail -c 2 "$source" | cmp -s - <(printf '\r\n') || printf '\r\n'); then
        echo "MISMATCH: parts of $source do not give it back"
        return 1
    fi
    echo "$count parts, joined parts equal the source"
}

printf '%-28s %10s %12s  %s\n' "split" "seconds" "peak KiB" "result"
for source in "$big" "$line"; do
    name=$(basename "$source" .txt)
    for mode in "--size 100" "--parts 10"; do
        out=$work/out
        rm -rf "$out" && mkdir -p "$out"
        stats=$( { /usr/bin/time -f '%e %M' "$bin" $mode "$source" "$out" > /dev/null; } 2>&1 | tail -n 1)
        result=$(check "$source" "$out" "$name")
        printf '%-28s %10s %12s  %s\n' "$name $mode" ${stats% *} ${stats#* } "$result"
    done
done
rm -rf "$work/out"
