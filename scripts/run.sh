#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program in a demo program
# directory. Without a display it runs under Xvfb, takes screenshots of the
# window and prints where they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}

# The program looks for its product beside its executable.
demo=$root/run/demo
rm -rf "$demo" && mkdir -p "$demo"
cp "$root"/demo/* "$demo"/
cp "$build/app/vm_ver32" "$demo"/

if [ -n "${DISPLAY:-}" ]; then
  exec "$demo/vm_ver32"
fi

exec "$root/scripts/run-headless.sh" "$demo" "$root/run"
