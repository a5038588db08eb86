#!/usr/bin/env bash
# What the chapter reader costs on books made to be hard for it: numbered
# lines (seq), one heading copied over and over, 第一章 again and again with
# text between, and a million headings. Each is timed at one size and at four
# times it (best of three runs), which shows the time grows with the book and
# no faster; then the peak memory of a 30 MB book of one chapter, and how
# long a stop (SIGTERM) takes to end a list of a million lines.
#   bench/chapter_cost.sh [BIN]      (default: the release build's tovane-split)
# The inputs go to $BENCH_DIR/chapter-cost (default /tmp/tovane-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-$PWD/build/release/src/cli/tovane-split}
work=${BENCH_DIR:-/tmp/tovane-bench}/chapter-cost
mkdir -p "$work"

python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
text = "　　山路弯弯，雨一直下。他走了很久，才看见远处的灯火。\n"
def write(name, make):
    path = os.path.join(work, name)
    if not os.path.exists(path):
        with open(path, "wb") as f:
            f.write(make().encode("gbk"))
for scale, tag in ((1, "1x"), (4, "4x")):
    write(f"seq-{tag}.txt", lambda: "".join(f"{n}\n" for n in range(1, 100001 * scale)))
    write(f"copies-{tag}.txt", lambda: "第一章 风起\n\n" * (80000 * scale))
    write(f"again-{tag}.txt", lambda: ("第一章\n" + text * 3) * (50000 * scale))
    write(f"headings-{tag}.txt", lambda: "".join(f"第{n}章\n" for n in range(1, 240001 * scale)))
# 30 MB of story under a single heading.
write("one-chapter.txt", lambda: "第一章 风起\n" + text * (30 * 1024 * 1024 // len(text.encode("gbk"))))
PY

best() {  # the shortest of three runs' wall times, in seconds
    python3 - "$@" <<'PY'
import subprocess, sys, time
times = []
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    times.append(time.perf_counter() - start)
print(f"{min(times):.4f}")
PY
}

printf '%-10s %10s %10s %8s\n' input 'at 1x s' 'at 4x s' ratio
for input in seq copies again headings; do
    one=$(best "$bin" --list-chapters "$work/$input-1x.txt")
    four=$(best "$bin" --list-chapters "$work/$input-4x.txt")
    printf '%-10s %10s %10s %8.2f\n' "$input" "$one" "$four" "$(python3 -c "print($four / max($one, 1e-4))")"
done
peak=$(/usr/bin/time -f '%M' "$bin" --list-chapters "$work/one-chapter.txt" 2>&1 > /dev/null | tail -n 1)
echo "30 MB book of one chapter: peak memory $((peak / 1024)) MiB"
python3 - "$bin" "$work/headings-4x.txt" <<'PY'
import signal, subprocess, sys, time
run = subprocess.Popen([sys.argv[1], "--list-chapters", sys.argv[2]],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(0.3)
asked = time.perf_counter()
run.send_signal(signal.SIGTERM)
run.wait()
print(f"a stop asked 0.3 s into a list of a million headings ends it in "
      f"{time.perf_counter() - asked:.3f} s (exit {run.returncode})")
PY
