#!/usr/bin/env bash
# Times tovane-split against GNU split and cp on a seeded 1 GiB GBK novel,
# prints medians, ratios and peak memory, and checks that the parts joined in
# order give back the source.
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
cmake --build --preset release > /dev/null
bin=$PWD/build/release/src/cli/tovane-split
maker=$PWD/build/release/bench/make_corpus

mkdir -p "$work"
corpus=$work/corpus-gbk-${size}.txt
[ -s "$corpus" ] || "$maker" "$corpus" "$size" gbk
# The same lines in the other encodings, for the comparison between them.
utf8=$work/corpus-utf8-${size}.txt
utf16=$work/corpus-utf16-${size}.txt
[ -s "$utf8" ] || iconv -f GBK -t UTF-8 "$corpus" > "$utf8"
[ -s "$utf16" ] || { printf '\xff\xfe'; iconv -f GBK -t UTF-16LE "$corpus"; } > "$utf16"
out=$work/out
prepare="rm -rf $out && mkdir -p $out"

hyperfine --style basic --runs "$runs" --prepare "$prepare" --export-json "$work/times.json" \
    -n "tovane --size 100"  "$bin --size 100 $corpus $out" \
    -n "split -C 102400"    "split -C 102400 $corpus $out/x" \
    -n "tovane --parts 10"  "$bin --parts 10 $corpus $out" \
    -n "split -n l/10"      "split -n l/10 $corpus $out/x" \
    -n "cp"                 "cp $corpus $out/copy" \
    -n "tovane UTF-8"       "$bin --size 100 $utf8 $out" \
    -n "tovane UTF-16"      "$bin --size 100 $utf16 $out" > "$work/hyperfine.log"

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

python3 - "$work/times.json" "$mem_size" "$mem_split" "$mem_parts" "$count" "$joined_ok" "$size" \
    "$(stat -c %s "$corpus")" "$(stat -c %s "$utf8")" "$(stat -c %s "$utf16")" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
median = {name: r["median"] for name, r in results.items()}
user = {name: r["user"] for name, r in results.items()}
gib = int(sys.argv[7]) / 1024
print(f"{'command':20} {'median s':>9} {'user s':>7}")
for name, m in median.items():
    print(f"{name:20} {m:9.3f} {user[name]:7.3f}")
print(f"peak memory KiB: tovane --size {sys.argv[2]}, split -C {sys.argv[3]}, tovane --parts {sys.argv[4]}")
print(f"parts: {sys.argv[5]}, joined parts equal the source: {sys.argv[6]}")
encodings = [median["tovane --size 100"], median["tovane UTF-8"], median["tovane UTF-16"]]
sizes = [int(sys.argv[8]), int(sys.argv[9]), int(sys.argv[10])]
per_byte = [t / n for t, n in zip(encodings, sizes)]
print("summary: "
      f"size/split-C {median['tovane --size 100'] / median['split -C 102400']:.2f}, "
      f"parts/split-n {median['tovane --parts 10'] / median['split -n l/10']:.2f}, "
      f"parts/cp {median['tovane --parts 10'] / median['cp']:.2f}, "
      f"user s/GiB {user['tovane --size 100'] / gib:.3f}, "
      f"slowest/fastest encoding {max(encodings) / min(encodings):.2f} "
      f"({max(per_byte) / min(per_byte):.2f} per byte), "
      f"peak MiB {int(sys.argv[2]) / 1024:.1f}")
PY
