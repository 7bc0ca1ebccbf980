#!/usr/bin/env bash
# wine-dpi.sh DPI [COMMAND...]: gives the caller's wine prefix (WINEPREFIX)
# a screen of DPI pixels per inch; with a COMMAND, runs it and gives the
# prefix 96 DPI again, whatever the command's end, so that the tests after
# it run at 96. Wine reads the setting when its server starts, so the server
# of the test run is started anew, persistent and warmed up as
# test-windows.sh starts it: the server and wine's background services must
# not hold the test's output open.
set -euo pipefail
here=$(dirname "$0")

set_dpi() {
  "$here/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  "$here/wine-run.sh" wineboot </dev/null >/dev/null 2>&1
}

set_dpi "$1"
shift
[ $# != 0 ] || exit 0
status=0
"$@" || status=$?
set_dpi 96
exit "$status"
