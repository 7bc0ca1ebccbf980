#!/usr/bin/env bash
# The program as a user starts it: in a program directory with a product, under
# a real X server, pointed at a real FTP server on loopback. A real click on
# "&Sprawdź co nowego ?" must bring the news and the verdict; the verdict is
# read back from a screenshot of the window. With "passive" as third argument
# the server refuses active mode and vm_ver32.ini asks for passive mode; with
# "tls" the server speaks FTP over TLS only and vm_ver32.ini asks for it,
# trusting the server's own CA; with "ipv6" the server listens on ::1 only and
# vm_ver32.ini names it so; with "signed" the server's files are signed and the
# maker's key lies beside the program as vm_ver32.pem, and a second start, served
# an older release file genuinely signed, must refuse it with the error box and
# keep the copy. The program directory is named with Polish letters, as where
# the products' users install them.
set -euo pipefail
program=$1 source=$2 mode=${3:-active}
# Its server and Xvfb live in the private network namespace of in-netns.sh.
if [ -z "${VM_PRIVATE_NETWORK:-}" ]; then
  echo "skipped: no private network namespace: ${VM_NO_PRIVATE_NETWORK:-not run through harness/in-netns.sh}"
  exit 77
fi
work=$(mktemp -d)
cleanup() { kill "${server:-}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

program_dir="$work/Księgowość Żółta"
mkdir -p "$program_dir" "$work/ftp"
cp -r "$source/demo/server/." "$work/ftp/root"
chmod -R go-w "$work/ftp/root"
server_modes= mode_keys= host=127.0.0.1
if [ "$mode" = passive ]; then server_modes=passive-only mode_keys='Pasywny=Tak\r\n'; fi
if [ "$mode" = tls ]; then server_modes=tls mode_keys="Szyfrowanie=Tak\r\nCertyfikatCA=$work/ftp/ca.pem\r\n"; fi
if [ "$mode" = ipv6 ]; then server_modes=ipv6 host=::1; fi
read -r port server < <("$source/scripts/lib/demo-ftp-server.sh" "$work/ftp/root" "$work/ftp" $server_modes)
cp "$source/demo/program/ort.ini" "$program" "$program_dir/"
news=$work/ftp/root/pub/news
# The maker's signature of a file: its bare name, one LF, its bytes.
sign() { { printf '%s\n' "$(basename "$1")"; cat "$1"; } | openssl dgst -sha256 -sign "$work/maker.key" > "$1.sig"; }
if [ "$mode" = signed ]; then
  openssl ecparam -name prime256v1 -genkey -noout -out "$work/maker.key"
  openssl ec -in "$work/maker.key" -pubout -out "$program_dir/vm_ver32.pem" 2>/dev/null
  sign "$news/or_news.rtf"
  sign "$news/or_news.inf"
fi
printf "[FTP]\r\nHost=%s\r\nHostPort=%s\r\nUseProxy=Nie\r\n$mode_keys" "$host" "$port" > "$program_dir/vm_ver32.ini"

source "$source/scripts/lib/xvfb-session.sh"
trap 'stop_session; cleanup' EXIT
start_xvfb
start_program "$program_dir/vm_ver32"
click 90 50
wait_for_status_change 20
shot "$work/after-check.png"

# The verdict bar at the bottom of the release panel, enlarged for the reader.
convert "$work/after-check.png" -crop 186x22+2+277 +repage -resize 400% -colorspace Gray "$work/verdict.png"
verdict=$(tesseract "$work/verdict.png" - --psm 7 2>/dev/null)
close_program

failed=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1" >&2; failed=1; fi; }
check "the verdict reads \"Zaktualizuj program\" (read: $verdict)" '[[ $verdict == *"Zaktualizuj program"* ]]'
check "the release information was downloaded" 'cmp -s "$program_dir/or_news.inf" "$source/demo/server/pub/news/or_news.inf"'
check "the news was downloaded" 'cmp -s "$program_dir/or_news.rtf" "$source/demo/server/pub/news/or_news.rtf"'
if [ "$mode" = signed ]; then
  check "the release file's signature is kept beside it" 'cmp -s "$program_dir/or_news.inf.sig" "$news/or_news.inf.sig"'
  check "the news file's is not" '[ ! -e "$program_dir/or_news.rtf.sig" ]'
  printf '[Program]\r\nWersja=7.1\r\nWydanie=1\r\nLastUpd=2023/01/01\r\n' > "$news/or_news.inf"
  sign "$news/or_news.inf"
  start_program "$program_dir/vm_ver32"
  click 90 50
  box=
  for _ in $(seq 100); do
    box=$(timeout 2 xdotool search --name '^VM_VER32$' 2>/dev/null | head -n1) && [ -n "$box" ] && break
    sleep 0.2
  done
  check "the older release file ends the check with the error box" '[ -n "$box" ]'
  if [ -n "$box" ]; then timeout 5 xdotool windowfocus --sync "$box" 2>/dev/null || true; xdotool key Return; fi
  sleep 0.5
  close_program
  check "the older release file did not replace the copy" \
    'cmp -s "$program_dir/or_news.inf" "$source/demo/server/pub/news/or_news.inf"'
fi
check "closing saved the settings" 'grep -q "UseProxy=Nie" "$program_dir/vm_ver32.ini" && grep -q "ProxyPort=" "$program_dir/vm_ver32.ini"'
if [ "$mode" = passive ]; then
  check "closing kept Pasywny" 'grep -q "^Pasywny=Tak" "$program_dir/vm_ver32.ini"'
fi
if [ "$mode" = tls ]; then
  check "closing kept Szyfrowanie and CertyfikatCA" \
    'grep -q "^Szyfrowanie=Tak" "$program_dir/vm_ver32.ini" && grep -q "^CertyfikatCA=" "$program_dir/vm_ver32.ini"'
fi
exit $failed
