#!/usr/bin/env bash
# Starts vsftpd on a free loopback port serving ROOT anonymously and read-only,
# for at most an hour. Prints "PORT PID" once it listens. A third argument
# "passive-only" makes it refuse active mode (PORT), as a client behind a
# firewall that lets no server connect in would find.
set -euo pipefail
# vsftpd lives among the administrator's programs, which a user's PATH may lack.
PATH=$PATH:/usr/sbin:/sbin
root=$1 work=$2 modes=${3:-}
mkdir -p "$work/empty"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
background=NO
seccomp_sandbox=NO
listen_address=127.0.0.1
listen_port=$port
anonymous_enable=YES
local_enable=NO
write_enable=NO
anon_root=$root
secure_chroot_dir=$work/empty
connect_from_port_20=NO
xferlog_enable=NO
syslog_enable=NO
CONF
if [ "$modes" = passive-only ]; then echo "port_enable=NO" >> "$work/vsftpd.conf"; fi
# vsftpd writes its start-up errors to standard input.
timeout 3600 vsftpd "$work/vsftpd.conf" <>"$work/vsftpd.log" >"$work/vsftpd.log" 2>&1 &
pid=$!
# Only a listener of vsftpd, the child of timeout, is the server: another
# program may have taken the port meanwhile.
ours() {
  local listener
  for listener in $(ss -ltnpH "src 127.0.0.1:$port" | grep -o 'pid=[0-9]*' | cut -d= -f2); do
    [ "$(ps -o ppid= -p "$listener" | tr -d ' ')" = "$pid" ] && return 0
  done
  return 1
}
for _ in $(seq 100); do
  if ours; then echo "$port $pid"; exit 0; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
echo "vsftpd did not start:" >&2; cat "$work/vsftpd.log" >&2; exit 1
