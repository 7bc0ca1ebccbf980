#!/usr/bin/env bash
# Runs a test command beside the harness service: with-service.sh SERVICE
# COMMAND...; SERVICE is the path of vm_harness_service. The command finds the
# service in VM_HARNESS_SERVICE. The service ends when its standard input
# does: when this script closes it after the command, or dies.
set -euo pipefail
service=$1
shift
coproc SERVICE { exec "$service"; }
pid=$SERVICE_PID output=${SERVICE[0]} input=${SERVICE[1]}
if ! read -r port <&"$output"; then
  echo "with-service.sh: $service did not start" >&2
  exit 1
fi
export VM_HARNESS_SERVICE=127.0.0.1:$port
status=0
"$@" || status=$?
exec {input}>&-
wait "$pid" || true
exit "$status"
