#!/usr/bin/env bash
# Measures the FTP client against curl (active mode, passive in f and g) on the same real servers
# on loopback and the same files, runs alternating, and prints the medians side
# by side: wall time, throughput, peak memory, CPU time, and our/curl ratios.
#   a) the check as the program makes it: log in, TYPE I, two small files
#   b) one 512 MiB file
#   c) one 64 MiB file through ftp-proxy
#   d) one 2 GiB file
#   e) the 512 MiB file of b into memory (a file on /dev/shm): the client
#      alone, without the disk. Not /dev/null: the client refuses to download
#      onto anything but a regular file.
#   f) the 512 MiB file of b in passive mode (EPSV), to set beside b
#   g) the 512 MiB file of b over TLS in passive mode (vsftpd with FTPS;
#      curl --ssl-reqd, whose active mode over TLS waits forever here)
# Our download is durable (on the disk before it takes the file's place);
# curl's is not, so every case that writes to the disk also runs "curl+sync":
# curl, then sync of the files it wrote. Each run writes into a fresh target.
# RUNS (default 7) runs of each tool for b to g, SMALL_RUNS (default 21) for a;
# CASES (default "a b c d e f g") picks cases. The Release build goes into
# build-release/ (or $RELEASE_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RELEASE_BUILD_DIR:-$root/build-release}
runs=${RUNS:-7}
small_runs=${SMALL_RUNS:-21}
cases=" ${CASES:-a b c d e f g} "
mib=$((1024 * 1024))

"$root/scripts/lib/install-deps.sh" curl time

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vm_bench >/dev/null
bench=$build/bench/vm_bench

work=$(mktemp -d /tmp/vm_bench.XXXXXX)
shm=$(mktemp -d /dev/shm/vm_bench.XXXXXX)
server=
stop_server() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    server=
  fi
}
trap 'stop_server; rm -rf "$work" "$shm"' EXIT
trap 'exit 130' INT TERM

# The served files, one copy fetched at a time, and some room to spare.
avail_kib=$(df -Pk "$work" | awk 'NR == 2 { print $4 }')
if [ "$avail_kib" -lt $((5 * 1024 * 1024)) ]; then
  echo "bench: need 5 GiB free under $work, have $((avail_kib / 1024)) MiB" >&2
  exit 1
fi

# Random bytes: a sparse or zero-filled file would flatter the disk path.
files=$work/root/pub/news
mkdir -p "$files" "$work/out"
head -c 4096 /dev/urandom > "$files/news.rtf"
head -c 300 /dev/urandom > "$files/release.inf"
head -c $((512 * mib)) /dev/urandom > "$files/big.bin"
head -c $((64 * mib)) /dev/urandom > "$files/mid.bin"
if [[ $cases == *" d "* ]]; then head -c $((2048 * mib)) /dev/urandom > "$files/huge.bin"; fi
chmod -R go-w,a+rX "$work/root"
chmod 755 "$work"

# Starts "vm_bench serve KIND" and reads where it listens into $endpoint. The
# proxy's server takes a port that tests also use, in turns: allow for a wait.
start_server() {
  : > "$work/endpoint"
  "$bench" serve "$1" "$work/root" > "$work/endpoint" &
  server=$!
  for _ in $(seq 1200); do
    [ -s "$work/endpoint" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  read -r -a endpoint < "$work/endpoint" || { echo "bench: $1 did not start" >&2; exit 1; }
}

results=$work/results
: > "$results"

# measure CASE TOOL COMMAND...: one timed run; appends
# "CASE TOOL wall_s cpu_s max_rss_kib" to the results. Wall and CPU time come
# from the shell (millisecond steps; time -v rounds to 10 ms), the peak memory
# from time -v.
measure() {
  local case=$1 tool=$2 status=0 wall user sys TIMEFORMAT='%3R %3U %3S'
  shift 2
  rm -f "$work/out/"* "$shm/"*
  { time timeout 120 time -v -o "$work/time" "$@" > /dev/null 2> "$work/err" || status=$?; } 2> "$work/times"
  if [ "$status" -ne 0 ]; then
    echo "bench: $tool failed in case $case:" >&2
    cat "$work/err" "$work/time" >&2
    exit 1
  fi
  read -r wall user sys < "$work/times"
  awk -v c="$case" -v t="$tool" -v w="$wall" -v u="$user" -v s="$sys" -F': ' \
    '/Maximum resident/ { rss = $2 } END { print c, t, w, u + s, rss }' "$work/time" >> "$results"
}

# verify NAME...: the fetched files equal the served ones ("-": nothing kept).
verify() {
  for f in "$@"; do
    [ "$f" = - ] && continue
    cmp -s "$files/$f" "$work/out/$f" || { echo "bench: $f arrived damaged" >&2; exit 1; }
  done
}

# warm_up CASE COMMAND...: one untimed run that must succeed.
warm_up() {
  local case=$1 status=0
  shift
  timeout 120 "$@" > /dev/null || status=$?
  [ "$status" -eq 0 ] || { echo "bench: $1 failed in the warm-up of case $case (status $status)" >&2; exit 1; }
}

# run_case CASE COUNT "FILES" "SYNCED" -- OURS... -- CURL...: a checked warm-up
# of each tool, then COUNT runs of each, each run starting with another tool.
# SYNCED names the files curl writes to the disk ("-": none): then curl+sync
# runs too.
run_case() {
  local case=$1 count=$2 names=$3 synced=$4 i t
  shift 5
  local ours=() theirs=()
  while [ "$1" != -- ]; do ours+=("$1"); shift; done
  shift
  theirs=("$@")
  warm_up "$case" "${ours[@]}"
  verify $names
  rm -f "$work/out/"*
  warm_up "$case" "${theirs[@]}"
  verify $names
  local tools=(vm_bench curl) commands=("${ours[*]@Q}" "${theirs[*]@Q}")
  if [ "$synced" != - ]; then
    tools+=(curl+sync)
    commands+=("${theirs[*]@Q} && sync $synced")
  fi
  for i in $(seq 0 $((count - 1))); do
    for t in $(seq 0 $((${#tools[@]} - 1))); do
      t=$(((t + i) % ${#tools[@]}))
      measure "$case" "${tools[$t]}" bash -c "${commands[$t]}"
    done
  done
}

curl_ftp=(curl -sS -P 127.0.0.1 --disable-eprt --ftp-method nocwd)
out=$work/out

# What the wrappers cost by themselves, taken off every figure.
for _ in $(seq "$small_runs"); do measure 0 wrappers bash -c true; done

if [[ $cases == *" a "* ]]; then
  start_server vsftpd
  host=${endpoint[0]} port=${endpoint[1]}
  url=ftp://$host:$port/pub/news
  run_case a "$small_runs" "news.rtf release.inf" "$out/news.rtf $out/release.inf" -- \
    "$bench" fetch "$host" "$port" - 0 pub/news/news.rtf "$out/news.rtf" pub/news/release.inf "$out/release.inf" -- \
    "${curl_ftp[@]}" -u anonymous:bench@example.com "$url/news.rtf" -o "$out/news.rtf" "$url/release.inf" -o "$out/release.inf"
  stop_server
fi

# one_file_case CASE NAME INTO [passive|tls]: the file NAME from vsftpd into the
# folder INTO, by both tools, in active mode or, with "passive", in passive
# mode, or with "tls" over TLS in passive mode. Only files fetched into $out
# are compared with the served ones and synced after curl.
one_file_case() {
  local case=$1 name=$2 into=$3 mode=${4:-} fetch=(fetch) check=- synced=- curl_mode=("${curl_ftp[@]}") kind=vsftpd
  [ "$mode" = "" ] || curl_mode=(curl -sS --ftp-pasv --ftp-method nocwd)
  [ "$mode" != passive ] || fetch=(fetch-passive)
  [ "$mode" != tls ] || kind=vsftpd-tls
  [ "$into" != "$out" ] || check=$name synced=$out/$name
  start_server "$kind"
  local host=${endpoint[0]} port=${endpoint[1]}
  if [ "$mode" = tls ]; then
    fetch=(fetch-passive-tls "$host" "$port" "${endpoint[2]}")
    curl_mode+=(--ssl-reqd --cacert "${endpoint[2]}")
  else
    fetch+=("$host" "$port" - 0)
  fi
  run_case "$case" "$runs" "$check" "$synced" -- \
    "$bench" "${fetch[@]}" "pub/news/$name" "$into/$name" -- \
    "${curl_mode[@]}" -u anonymous:bench@example.com "ftp://$host:$port/pub/news/$name" -o "$into/$name"
  stop_server
}
if [[ $cases == *" b "* ]]; then one_file_case b big.bin "$out"; fi
if [[ $cases == *" d "* ]]; then one_file_case d huge.bin "$out"; fi
if [[ $cases == *" e "* ]]; then one_file_case e big.bin "$shm"; fi
if [[ $cases == *" f "* ]]; then one_file_case f big.bin "$out" passive; fi
if [[ $cases == *" g "* ]]; then one_file_case g big.bin "$out" tls; fi

# ftp-proxy takes the server from the user name and connects to its port 21.
if [[ $cases == *" c "* ]]; then
  start_server proxy
  proxy=${endpoint[0]} proxy_port=${endpoint[1]} target=${endpoint[2]}
  run_case c "$runs" mid.bin "$out/mid.bin" -- \
    "$bench" fetch "$target" 21 "$proxy" "$proxy_port" pub/news/mid.bin "$out/mid.bin" -- \
    "${curl_ftp[@]}" -u "anonymous@$target:bench@example.com" "ftp://$proxy:$proxy_port/pub/news/mid.bin" -o "$out/mid.bin"
  stop_server
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
stat_of() { awk -v c="$1" -v t="$2" -v k="$3" '$1 == c && $2 == t { print $k }' "$results" | median; }
ran() { awk -v c="$1" -v t="$2" '$1 == c && $2 == t { found = 1 } END { exit !found }' "$results"; }
base_wall=$(stat_of 0 wrappers 3)
base_cpu=$(stat_of 0 wrappers 4)

printf '\n%-34s %-14s %10s %10s %10s %9s %11s\n' case tool "wall ms" "MiB/s" "peak MiB" "CPU ms" "CPU ms/MiB"
for row in "a:4396:a) check: login, TYPE I, 2 files" "b:$((512 * mib)):b) one 512 MiB file" \
            "c:$((64 * mib)):c) 64 MiB through ftp-proxy" \
            "d:$((2048 * mib)):d) one 2 GiB file" "e:$((512 * mib)):e) 512 MiB into memory" \
            "f:$((512 * mib)):f) one 512 MiB file, passive" "g:$((512 * mib)):g) one 512 MiB file over TLS"; do
  IFS=: read -r case bytes label <<< "$row"
  [[ $cases == *" $case "* ]] || continue
  # Lines "tool wall cpu rss", ours first; the ratios set ours beside each other tool.
  for tool in vm_bench curl curl+sync; do
    ran "$case" "$tool" || continue
    echo "$tool $(stat_of "$case" "$tool" 3) $(stat_of "$case" "$tool" 4) $(stat_of "$case" "$tool" 5)"
  done | awk -v label="$label" -v bytes="$bytes" -v bw="$base_wall" -v bc="$base_cpu" '
    # Per-MiB figures of a few KiB say nothing.
    function big(text) { return bytes < 1048576 ? "-" : text }
    function row(l, t, w, c, r) {
      printf "%-34s %-14s %10.1f %10s %10.1f %9.1f %11s\n", l, t, w * 1000,
             big(sprintf("%.1f", bytes / 1048576 / w)), r / 1024, c * 1000,
             big(sprintf("%.3f", c * 1000 / (bytes / 1048576)))
    }
    function ratio(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
    { tool[NR] = $1; wall[NR] = $2 - bw; cpu[NR] = $3 - bc; rss[NR] = $4 }
    END {
      for (i = 1; i <= NR; i++) row(i == 1 ? label : "", tool[i], wall[i], cpu[i], rss[i])
      for (i = 2; i <= NR; i++)
        printf "%-34s %-14s %10s %10s %10s %9s %11s\n", "", "ours/" tool[i], ratio(wall[1], wall[i]),
               big(ratio(wall[i], wall[1])), ratio(rss[1], rss[i]), ratio(cpu[1], cpu[i]), big(ratio(cpu[1], cpu[i]))
    }'
done
echo "(medians of $small_runs runs of each tool for a, $runs for b to g; CPU = user + system; wall and CPU"
echo " less what timeout, time and bash -c cost by themselves: $(awk -v w="$base_wall" -v c="$base_cpu" \
  'BEGIN { printf "%.1f ms wall, %.1f ms CPU", w * 1000, c * 1000 }'))"
