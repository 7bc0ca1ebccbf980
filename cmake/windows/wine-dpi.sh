#!/usr/bin/env bash
# wine-dpi.sh DPI [COMMAND...]: gives the caller's wine prefix (WINEPREFIX)
# a screen of DPI pixels per inch, then runs COMMAND, if any. Wine reads the
# setting when its server starts, so the server of the test run is started
# anew, persistent and warmed up as test-windows.sh starts it: background
# services and the server itself must not hold the test's output open.
set -euo pipefail
here=$(dirname "$0")
dpi=$1
shift
"$here/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  </dev/null >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
"$here/wine-run.sh" wineboot </dev/null >/dev/null 2>&1
[ $# = 0 ] || exec "$@"
