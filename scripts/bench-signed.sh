#!/usr/bin/env bash
# Peak memory of the window's check of a large news file, signed against
# unsigned: vm_ver32 under a private Xvfb, pointed at vsftpd on loopback, one
# click of "Sprawdź co nowego ?"; its VmHWM is read once the check has ended.
# The signed run has the maker's key beside the program (vm_ver32.pem) and
# both files signed. Not part of the test command.
#   scripts/bench-signed.sh [news size in MiB, default 60] [runs, default 3]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mib=${1:-60} runs=${2:-3}
build=${BUILD_DIR:-$root/build}
"$root/scripts/lib/install-deps.sh" vsftpd xvfb xdotool imagemagick x11-utils openssl
"$root/scripts/lib/build.sh" >/dev/null

work=$(mktemp -d)
cleanup() { kill "${server:-}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
news=$work/ftp/root/pub/news
mkdir -p "$news"
# A news file of plain text, which the window shows as such.
head -c $((mib * 1024 * 1024)) /dev/zero | tr '\0' 'x' > "$news/or_news.rtf"
cp "$root/demo/server/pub/news/or_news.inf" "$news/"
openssl ecparam -name prime256v1 -genkey -noout -out "$work/maker.key"
openssl ec -in "$work/maker.key" -pubout -out "$work/maker.pem" 2>/dev/null
for file in "$news/or_news.rtf" "$news/or_news.inf"; do
  { printf '%s\n' "$(basename "$file")"; cat "$file"; } | openssl dgst -sha256 -sign "$work/maker.key" > "$file.sig"
done
chmod -R go-w "$work/ftp/root"
read -r port server < <("$root/scripts/lib/demo-ftp-server.sh" "$work/ftp/root" "$work/ftp")

source "$root/scripts/lib/xvfb-session.sh"
trap 'stop_session; cleanup' EXIT
start_xvfb

# check DIR: one check from a program directory DIR; prints the peak in KiB.
check() {
  local dir=$1
  rm -f "$dir/or_news.rtf" "$dir/or_news.inf" "$dir/or_news.inf.sig"
  start_program "$dir/vm_ver32" >/dev/null
  click 90 50
  # The check has ended when the release file is in place.
  for _ in $(seq 600); do [ -e "$dir/or_news.inf" ] && break; sleep 0.1; done
  [ -e "$dir/or_news.inf" ] || { echo "the check did not end" >&2; exit 1; }
  wait_for_status_change 10 >/dev/null
  awk '/^VmHWM/ { print $2 }' "/proc/$program_pid/status"
  close_program
}

for kind in unsigned signed; do
  mkdir -p "$work/$kind"
  cp "$root/demo/program/ort.ini" "$build/main/vm_ver32" "$work/$kind/"
  printf "[FTP]\r\nHost=127.0.0.1\r\nHostPort=%s\r\nUseProxy=Nie\r\n" "$port" > "$work/$kind/vm_ver32.ini"
done
cp "$work/maker.pem" "$work/signed/vm_ver32.pem"

printf '%-10s %s\n' check "peak MiB (VmHWM), news of $mib MiB"
for kind in unsigned signed; do
  peaks=()
  for _ in $(seq "$runs"); do peaks+=("$(check "$work/$kind")"); done
  printf '%-10s' "$kind"
  for kib in "${peaks[@]}"; do awk -v k="$kib" 'BEGIN { printf " %.1f", k / 1024 }'; done
  echo
done
