#!/usr/bin/env bash
# Times tovane-split against GNU split and cp on a seeded 1 GiB GBK novel,
# prints medians, paired ratios and peak memory, and checks that the parts
# joined in order give back the source; then scores the chapter list on 200
# synthetic books with known headings (bench/chapter_books.py, chapter_score.py)
# and times the chapter reader on hard books (bench/chapter_cost.sh).
#   bench/run.sh [MEBIBYTES] [RUNS]      (defaults: 1024 and 9)
# The corpus and outputs go to $BENCH_DIR (default /tmp/tovane-bench); put it
# on tmpfs to measure the program rather than the disk.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1024}
runs=${2:-9}
work=${BENCH_DIR:-/tmp/tovane-bench}

scripts/setup bench
cmake --preset release > /dev/null
cmake --build --preset release --target tovane-split make_corpus > /dev/null
bin=$PWD/build/release/src/cli/tovane-split
maker=$PWD/build/release/bench/make_corpus

mkdir -p "$work"
corpus=$work/corpus-gbk-${size}.txt
[ -s "$corpus" ] || "$maker" "$corpus" "$size"
# The same lines in the other encodings, for the comparison between them.
utf8=$work/corpus-utf8-${size}.txt
utf16=$work/corpus-utf16-${size}.txt
[ -s "$utf8" ] || iconv -f GBK -t UTF-8 "$corpus" > "$utf8"
[ -s "$utf16" ] || { printf '\xff\xfe'; iconv -f GBK -t UTF-16LE "$corpus"; } > "$utf16"
# The same GBK text with its lines ending in LF alone, as on Linux.
lf=$work/corpus-gbk-lf-${size}.txt
[ -s "$lf" ] || tr -d '\r' < "$corpus" > "$lf"
out=$work/out
prepare="rm -rf $out && mkdir -p $out"

# Paired runs: each round times every command once, in an order that turns
# from round to round, so a slow spell of the machine falls on both sides of
# a ratio. Ratios are taken within a round, then their median. A first round,
# not counted, warms the page cache and the memory the outputs go to.
names=("tovane --size 100" "split -C 102400" "tovane --parts 10" "split -n l/10" "cp"
       "tovane UTF-8" "tovane UTF-16" "tovane LF" "tovane --chapters 10" "tovane --to-utf8")
commands=("$bin --size 100 $corpus $out" "split -C 102400 $corpus $out/x"
          "$bin --parts 10 $corpus $out" "split -n l/10 $corpus $out/x" "cp $corpus $out/copy"
          "$bin --size 100 $utf8 $out" "$bin --size 100 $utf16 $out" "$bin --size 100 $lf $out"
          "$bin --chapters 10 $corpus $out" "$bin --to-utf8 --size 100 $corpus $out")
rm -f "$work"/round-*.json
for ((round = -1; round < runs; round++)); do
    args=()
    for ((i = 0; i < ${#names[@]}; i++)); do
        k=$(((i + round + ${#names[@]}) % ${#names[@]}))
        args+=(-n "${names[k]}" "${commands[k]}")
    done
    hyperfine --style none --runs 1 --prepare "$prepare" \
        --export-json "$work/round-$((round < 0 ? runs : round)).json" "${args[@]}" > /dev/null
done

peak() {  # peak resident memory in KiB of one run of the command
    eval "$prepare"
    /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1
}
mem_size=$(peak "$bin" --size 100 "$corpus" "$out")
mem_split=$(peak split -C 102400 "$corpus" "$out/x")
mem_parts=$(peak "$bin" --parts 10 "$corpus" "$out")

# The parts joined in order must give back the source (it already ends its lines in CR LF).
eval "$prepare"
"$bin" --size 100 "$corpus" "$out" > /dev/null
name=$(basename "$corpus" .txt)
count=$(find "$out" -name "${name}_*.txt" | wc -l)
joined_ok=yes
for ((n = 1; n <= count; n++)); do cat "$out/${name}_$n.txt"; done | cmp -s - "$corpus" || joined_ok=NO
rm -rf "$out"

python3 - "$work" "$runs" "$mem_size" "$mem_split" "$mem_parts" "$count" "$joined_ok" "$size" \
    "$(stat -c %s "$corpus")" "$(stat -c %s "$utf8")" "$(stat -c %s "$utf16")" <<'PY'
import json, statistics, sys
work, runs = sys.argv[1], int(sys.argv[2])
args = sys.argv[2:]
rounds = []
for r in range(runs):
    results = json.load(open(f"{work}/round-{r}.json"))["results"]
    rounds.append({x["command"]: (x["times"][0], x["user"]) for x in results})
order = ["tovane --size 100", "split -C 102400", "tovane --parts 10", "split -n l/10", "cp",
         "tovane UTF-8", "tovane UTF-16", "tovane LF", "tovane --chapters 10", "tovane --to-utf8"]
median = {n: statistics.median(r[n][0] for r in rounds) for n in order}
user = {n: statistics.median(r[n][1] for r in rounds) for n in order}


def ratio(a, b, scale=(1, 1)):  # the median over rounds of a's time over b's
    return statistics.median((r[a][0] / scale[0]) / (r[b][0] / scale[1]) for r in rounds)


mem_size, mem_split, mem_parts, count, joined_ok, size = args[1:7]
sizes = {"tovane --size 100": int(args[7]), "tovane UTF-8": int(args[8]),
         "tovane UTF-16": int(args[9])}
gib = int(size) / 1024
print(f"{'command':20} {'median s':>9} {'user s':>7}")
for name in order:
    print(f"{name:20} {median[name]:9.3f} {user[name]:7.3f}")
print(f"peak memory KiB: tovane --size {mem_size}, split -C {mem_split}, tovane --parts {mem_parts}")
print(f"parts: {count}, joined parts equal the source: {joined_ok}")
enc = ["tovane --size 100", "tovane UTF-8", "tovane UTF-16"]
time_ratio = max(ratio(a, b) for a in enc for b in enc)
byte_ratio = max(ratio(a, b, (sizes[a], sizes[b])) for a in enc for b in enc)
print(f"summary ({runs} paired rounds): "
      f"size/split-C {ratio('tovane --size 100', 'split -C 102400'):.2f}, "
      f"parts/split-n {ratio('tovane --parts 10', 'split -n l/10'):.2f}, "
      f"parts/cp {ratio('tovane --parts 10', 'cp'):.2f}, "
      f"user s/GiB {user['tovane --size 100'] / gib:.3f}, "
      f"slowest/fastest encoding {time_ratio:.2f} ({byte_ratio:.2f} per byte), "
      f"LF/CR LF {ratio('tovane LF', 'tovane --size 100'):.2f}, "
      f"chapters/size {ratio('tovane --chapters 10', 'tovane --size 100'):.2f}, "
      f"to-utf8/size {ratio('tovane --to-utf8', 'tovane --size 100'):.2f}, "
      f"peak MiB {int(mem_size) / 1024:.1f}")
PY

# The chapter list, heading by heading, on books whose headings are known.
books=$work/chapter-books
[ -d "$books" ] || python3 bench/chapter_books.py "$books" 200
echo "chapter headings on $(find "$books" -name '*.txt' | wc -l) synthetic books:"
python3 bench/chapter_score.py "$bin" "$books"

# What the chapter reader costs on books made to be hard for it.
echo "chapter reader on hard books:"
bench/chapter_cost.sh "$bin"

# How fast the window and its chapter list answer on a book of 10,000 chapters.
cmake --build --preset release --target chapter_list_response > /dev/null
echo "the window on a book of 10,000 chapters:"
build/release/bench/chapter_list_response 10000 15 2> /dev/null
