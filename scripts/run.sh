#!/usr/bin/env bash
# Installs what is missing, builds, starts a local FTP server with the maker's
# news, and starts the program in a demo program directory pointed at it.
# Without a display it runs under Xvfb, checks for news with real clicks, and
# prints where it saved the screenshots. "scripts/run.sh windows" does the
# same with the Windows program under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ "${1:-}" != windows ] || exec "$root/scripts/lib/run-windows.sh"
"$root/scripts/lib/install-deps.sh"
"$root/scripts/lib/build.sh"
build=${BUILD_DIR:-$root/build}
run=$root/run
rm -rf "$run" && mkdir -p "$run/demo" "$run/ftp"

# The server's files; vsftpd refuses a root its anonymous user could write to.
cp -r "$root/demo/server/." "$run/ftp/root"
chmod -R go-w "$run/ftp/root"
read -r port server < <("$root/scripts/lib/demo-ftp-server.sh" "$run/ftp/root" "$run/ftp")
trap 'kill "$server" 2>/dev/null || true' EXIT

# The program looks for its product beside its executable.
cp "$root/demo/program/"* "$run/demo/"
cp "$build/main/vm_ver32" "$run/demo/"
# Vemo=Tak offers the test button, which shows the files already fetched.
printf '[FTP]\r\nHost=127.0.0.1\r\nHostPort=%s\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\nVemo=Tak\r\n' "$port" > "$run/demo/vm_ver32.ini"
echo "FTP server: 127.0.0.1:$port serving $run/ftp/root"

if [ -n "${DISPLAY:-}" ]; then
  "$run/demo/vm_ver32"
else
  "$root/scripts/lib/run-headless.sh" "$run/demo" "$run"
fi
