#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ (or
# $FUZZ_BUILD_DIR) and runs each for a bounded time, starting from its seed
# corpus in fuzz/corpus/<name>. Not part of the test command.
#   scripts/fuzz.sh [seconds per target, default 60] [target names, default all]
# A finding is left in <build>/artifacts/<name>/ and makes the script fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(reply rtf profile date int signature key private_key)

# libFuzzer comes with clang's runtime.
"$root/scripts/lib/install-deps.sh" clang libclang-rt-dev
CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen
for name in "${targets[@]}"; do
  # New inputs go to a working corpus beside the build, so the seeds stay small.
  work="$build/corpus/$name"
  artifacts="$build/artifacts/$name/"
  mkdir -p "$work" "$artifacts"
  echo "== fuzz_$name for ${seconds}s"
  "$build/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$work" "$root/fuzz/corpus/$name"
done
