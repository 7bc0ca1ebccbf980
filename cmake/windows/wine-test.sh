#!/usr/bin/env bash
# Runs a Windows test program under wine, as wine-run.sh does, and gives
# wine one more chance when the program failed without writing a byte. A test
# program always writes before it can fail; a silent failure, seen once in
# about a thousand test runs under load, is wine's own, so the program starts
# once more and the log says so. Output streams as it comes, so a test killed
# at its time-out keeps what it wrote.
set -uo pipefail
here=$(dirname "$0")
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  "$here/wine-run.sh" "$@" 2>&1 | tee "$out"
  status=${PIPESTATUS[0]}
  if [ "$status" = 0 ] || [ -s "$out" ] || [ "$attempt" = 2 ]; then
    exit "$status"
  fi
  echo "wine-test.sh: wine ended with code $status before the program wrote anything; starting it once more" >&2
done
