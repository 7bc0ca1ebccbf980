#!/usr/bin/env bash
# Measures how long the window is busy with a downloaded news file: from the
# display step until the event loop answers again, the window repainted.
# News files of 100 KB, 1 MB, 10 MB and 100 MB in three shapes:
#   line        rich text, one paragraph of one letter (no place to break)
#   paragraphs  rich text, short paragraphs
#   plain       plain text, short lines
# Each figure is the median of RUNS (default 3) runs; peak memory is the
# largest of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${RUNS:-3}

cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target vm_news_bench >/dev/null
bench=$build/bench/vm_news_bench

work=$(mktemp -d /tmp/vm_news_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# make_news SHAPE BYTES FILE
make_news() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
shape, size, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
head, tail = b"{\\rtf1\\ansi ", b"}"
unit = {"line": b"a", "paragraphs": b"Nowa wersja programu jest gotowa.\\par\n",
        "plain": b"Nowa wersja programu jest gotowa.\r\n"}[shape]
if shape == "plain":
    head, tail = b"", b""
body = unit * ((size - len(head) - len(tail)) // len(unit))
with open(path, "wb") as out:
    out.write(head + body + tail)
PY
}

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
printf '%-11s %10s %12s %10s\n' shape size "busy ms" "peak MiB"
for shape in line paragraphs plain; do
  for size in 102400 1048576 10485760 104857600; do
    file=$work/news
    make_news "$shape" "$size" "$file"
    times=(); peak=0
    for _ in $(seq "$runs"); do
      read -r _ _ ms _ _ mib _ < <("$bench" "$file" 2>/dev/null)
      times+=("$ms")
      [ "$mib" -gt "$peak" ] && peak=$mib
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    printf '%-11s %10s %12s %10s\n' "$shape" "$((size / 1024)) KiB" "$median" "$peak"
    rm -f "$file"
  done
done
