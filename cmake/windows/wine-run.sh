#!/usr/bin/env bash
# Runs a Windows executable under 64-bit wine, quietly: without WINEDEBUG the
# wrapper complains on every run that 32-bit wine is missing. The prefix is
# the caller's (WINEPREFIX); test-windows.sh makes a private one.
export WINEDEBUG=${WINEDEBUG:--all}
exec /usr/lib/wine/wine64 "$@"
