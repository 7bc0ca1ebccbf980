#!/usr/bin/env bash
# What waiting costs: the FTP client and curl each connect to a server on
# loopback that accepts but never greets, and wait SECONDS (default 10) for the
# greeting. Prints, side by side, the CPU time, the share of one core and the
# wake-ups (voluntary context switches) per second of each.
#   RELEASE_BUILD_DIR (default build-release, as for scripts/bench.sh) holds
#   the build of vm_bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RELEASE_BUILD_DIR:-$root/build-release}
seconds=${SECONDS_WAITED:-10}

"$root/scripts/lib/install-deps.sh" curl time
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vm_bench >/dev/null

work=$(mktemp -d /tmp/vm_wait.XXXXXX)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

# A server that takes each connection and says nothing; it ends by itself.
python3 - "$((seconds * 3 + 30))" > "$work/port" <<'PY' &
import socket, sys, time
limit = time.monotonic() + int(sys.argv[1])
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(8)
print(s.getsockname()[1], flush=True)
held = []
s.settimeout(1)
while time.monotonic() < limit:
    try:
        held.append(s.accept()[0])
    except socket.timeout:
        pass
PY
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")

# measure TOOL COMMAND...: appends "TOOL cpu_s voluntary_switches" to the results.
measure() {
  local tool=$1
  shift
  command time -f "$tool %U %S %w" -a -o "$work/times" "$@" > /dev/null 2>&1 || true
}
measure vm_bench "$build/bench/vm_bench" wait 127.0.0.1 "$port" "$seconds"
measure curl curl -sS --max-time "$seconds" "ftp://127.0.0.1:$port/"

printf '%-9s %8s %8s %14s\n' tool "CPU ms" "CPU %" "wake-ups/s"
awk -v s="$seconds" '$1 == "vm_bench" || $1 == "curl" { cpu = $2 + $3; printf "%-9s %8.0f %8.2f %14.1f\n", $1, cpu * 1000, cpu * 100 / s, $4 / s }' "$work/times"
echo "(one wait of $seconds s on a silent server; wake-ups are voluntary context switches)"
