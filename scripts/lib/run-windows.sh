#!/usr/bin/env bash
# scripts/run.sh windows: builds vm_ver32.exe with mingw-w64 into
# build-windows/ (or $WINDOWS_BUILD_DIR), starts it under wine in a demo
# program directory against the demo FTP server, checks for news with a real
# click and saves screenshots into run/. Without a display it runs under a
# private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/scripts/lib/install-deps.sh" g++-mingw-w64-x86-64-posix wine wine64 fonts-wine
build=${WINDOWS_BUILD_DIR:-$root/build-windows}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64.cmake" >/dev/null
cmake --build "$build" --target vm_ver32 -j2
run=$root/run work=$root/run/windows
rm -rf "$work" "$run"/windows-*.png && mkdir -p "$work/demo" "$work/ftp"

# The same server and product as the Linux program's run.
cp -r "$root/demo/server/." "$work/ftp/root"
chmod -R go-w "$work/ftp/root"
read -r port server < <("$root/scripts/lib/demo-ftp-server.sh" "$work/ftp/root" "$work/ftp")
cp "$root/demo/program/"* "$work/demo/"
cp "$build/main/vm_ver32.exe" "$work/demo/"
printf '[FTP]\r\nHost=127.0.0.1\r\nHostPort=%s\r\nUseProxy=Nie\r\nProxy=\r\nProxyPort=\r\nVemo=Tak\r\n' "$port" > "$work/demo/vm_ver32.ini"
echo "FTP server: 127.0.0.1:$port serving $work/ftp/root"

# A prefix of this build's own; its wineserver ends with the run.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wine=$root/cmake/windows/wine-run.sh
source "$root/scripts/lib/xvfb-session.sh"
finish() { stop_session; kill "$server" 2>/dev/null || true; wineserver -k 2>/dev/null || true; }
trap finish EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb
# A new prefix is made here, once (about 10 s).
"$wine" wineboot </dev/null >/dev/null 2>&1

cd "$work/demo"
start_program "$wine" "$work/demo/vm_ver32.exe"
# The mouse rests on the status bar, where no tooltip covers the window.
rest_mouse() { xdotool mousemove $((X + 300)) $((Y + 314)); sleep 0.5; }
rest_mouse
shot "$run/windows-start.png"
# "&Sprawdź co nowego ?" heads the action buttons of "Co nowego".
click 90 42
rest_mouse
wait_for_status_change 15
shot "$run/windows-news-and-verdict.png"
close_program
