#!/usr/bin/env bash
# Runs a test command in a private network namespace whose only interface is
# its own loopback, so that nothing else on the machine can hold or answer the
# addresses its servers use (port 21 of 127.0.0.2 included). Root gets a plain
# network namespace, anyone else a user namespace too where the system allows
# one. The command learns which namespace is its own from VM_PRIVATE_NETWORK;
# where none can be had it runs with VM_NO_PRIVATE_NETWORK saying why, and its
# server tests skip themselves.
set -euo pipefail
if [ "${1:-}" = --inside ]; then
  shift
  ip link set lo up
  VM_PRIVATE_NETWORK=$(readlink /proc/self/ns/net)
  export VM_PRIVATE_NETWORK
  exec "$@"
fi
if [ "$(id -u)" -eq 0 ]; then flags=(--net); else flags=(--net --map-root-user); fi
# A trial run, so that a failure of the command itself is never taken for a
# missing namespace.
if why=$(unshare "${flags[@]}" ip link set lo up 2>&1); then
  exec unshare "${flags[@]}" "$0" --inside "$@"
fi
export VM_NO_PRIVATE_NETWORK="unshare ${flags[*]} with a loopback failed: ${why:-no reason given}"
exec "$@"
