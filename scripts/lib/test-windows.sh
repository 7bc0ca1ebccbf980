#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64 into build-windows/ (or
# $WINDOWS_BUILD_DIR) and runs their tests under wine: the whole ctest run in
# one private network, with one wineserver started and warmed up there, and
# one Xvfb for the window's tests. Wine's sockets belong to the network its
# wineserver started in, and a wineserver left from elsewhere would refuse
# every program of this one.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${WINDOWS_BUILD_DIR:-$root/build-windows}
# The harness service is a Linux program, from the Linux build.
linux=${BUILD_DIR:-$root/build}
service=$linux/harness/service/vm_harness_service
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all

if [ "${1:-}" != --inside ]; then
  "$root/scripts/lib/install-deps.sh" g++-mingw-w64-x86-64-posix wine wine64 fonts-wine googletest
  started=$SECONDS
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64.cmake" >/dev/null
  cmake --build "$build" -j2
  echo "Windows build: $((SECONDS - started)) s"
  cmake -S "$root" -B "$linux" -G Ninja >/dev/null
  cmake --build "$linux" --target vm_harness_service -j2 >/dev/null
  # A wineserver of this prefix left running elsewhere (an earlier run that
  # was killed) would answer instead of the one started inside.
  wineserver -k 2>/dev/null || true
  exec "$root/harness/in-netns.sh" "$0" --inside
fi

started=$SECONDS
# Wine shows windows only on an X display, and the window's tests need them:
# one Xvfb in this network for the whole run, there before wine's first
# process, which all later ones share.
source "$root/scripts/lib/xvfb-session.sh"
start_xvfb
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true; stop_session' EXIT
# A new prefix is made here (about 10 s); wine's background services must not
# hold ctest's output open.
wine wineboot </dev/null >/dev/null 2>&1
# The harness service runs in this same network for the whole run; wine hands
# VM_HARNESS_SERVICE on to the test programs.
status=0
(cd "$build" && "$root/harness/with-service.sh" "$service" ctest --output-on-failure --timeout 300) \
  >"$build/ctest.log" 2>&1 || status=$?
summary='tests passed|tests failed out of'
grep -Ev "$summary" "$build/ctest.log" || true
echo "Windows tests: $((SECONDS - started)) s, wine's start included"
grep -E "$summary" "$build/ctest.log"
exit "$status"
