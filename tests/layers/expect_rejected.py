#!/usr/bin/python3
"""Runs check_layers.py over a tree and passes only when it rejects exactly
the given includes.

Usage: expect_rejected.py SOURCE_ROOT FILE:LINE...

The checker must exit 1 (not crash, not pass) and name each FILE:LINE given
and no other, so that neither a missed upward include nor a wrongly refused
allowed one goes unseen.
"""

import os
import subprocess
import sys

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")


def main(arguments):
    if len(arguments) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root, expected = arguments[1], set(arguments[2:])
    run = subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True, timeout=60)
    sys.stdout.write(run.stdout)
    sys.stderr.write(run.stderr)
    named = {line.split(": ", 1)[0] for line in run.stdout.splitlines() if ": includes " in line}
    failures = []
    if run.returncode != 1:
        failures.append(f"the checker exited {run.returncode}, not 1")
    failures += [f"not rejected: {place}" for place in sorted(expected - named)]
    failures += [f"rejected, though allowed: {place}" for place in sorted(named - expected)]
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
