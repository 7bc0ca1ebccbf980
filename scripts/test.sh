#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then runs them all
# again in a build with the sanitizers; then builds for Windows and runs the
# Windows tests under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/lib/install-deps.sh"
"$root/scripts/lib/build.sh"
(cd "${BUILD_DIR:-$root/build}" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2)
"$root/scripts/lib/test-sanitized.sh"
"$root/scripts/lib/test-windows.sh"
