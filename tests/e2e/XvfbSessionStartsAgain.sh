#!/usr/bin/env bash
# An Xvfb that fails to start, as when another X server takes its display at
# the same moment, is started again: the session's display then answers.
set -euo pipefail
source=$1
shim=$(mktemp -d)
trap 'rm -rf "$shim"' EXIT
real=$(command -v Xvfb)
cat > "$shim/Xvfb" <<SHIM
#!/bin/sh
# The first start fails before it names a display.
mkdir "$shim/failed-once" 2>/dev/null && exit 1
exec "$real" "\$@"
SHIM
chmod +x "$shim/Xvfb"
PATH=$shim:$PATH
source "$source/scripts/lib/xvfb-session.sh"
trap 'stop_session; rm -rf "$shim"' EXIT
start_xvfb
[ -d "$shim/failed-once" ] || { echo "FAILED: the first start did not fail" >&2; exit 1; }
xdpyinfo >/dev/null || { echo "FAILED: display $DISPLAY does not answer" >&2; exit 1; }
echo "ok: display $DISPLAY answers after a failed start"
