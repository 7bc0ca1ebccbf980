#!/usr/bin/env bash
# Builds the whole tree with AddressSanitizer (leak checks included) and
# UndefinedBehaviorSanitizer into build-asan/ (or $ASAN_BUILD_DIR) and runs
# every test there. The first finding ends its test with a failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${ASAN_BUILD_DIR:-$root/build-asan}
BUILD_DIR="$build" "$root/scripts/lib/build.sh" -DVM_SANITIZE=ON
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
