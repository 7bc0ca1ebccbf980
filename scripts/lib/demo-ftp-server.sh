#!/usr/bin/env bash
# Starts vsftpd on a free loopback port serving ROOT anonymously and read-only,
# for at most an hour. Prints "PORT PID" once it listens. A third argument
# "passive-only" makes it refuse active mode (PORT), as a client behind a
# firewall that lets no server connect in would find; "tls" makes it speak FTP
# over TLS only, with a certificate for 127.0.0.1 from a CA of its own, whose
# certificate it leaves in WORK/ca.pem for the client to trust; "ipv6" makes it
# listen on ::1 instead of 127.0.0.1.
set -euo pipefail
# vsftpd lives among the administrator's programs, which a user's PATH may lack.
PATH=$PATH:/usr/sbin:/sbin
root=$1 work=$2 modes=${3:-}
mkdir -p "$work/empty"
address=127.0.0.1 family=AF_INET ipv4=YES ipv6=NO setting=listen_address
if [ "$modes" = ipv6 ]; then address=::1 family=AF_INET6 ipv4=NO ipv6=YES setting=listen_address6; fi
port=$(python3 -c "import socket; s = socket.socket(socket.$family); s.bind(('$address', 0)); print(s.getsockname()[1])")
# The test servers' configuration (harness/RealFtpServers.cpp reads the same
# files), comments dropped. A field without a value would reach vsftpd as a
# literal value, so it is refused.
harness=$(cd "$(dirname "$0")/../../harness" && pwd)
# fill FILE NAME=VALUE...: FILE with each @NAME@ replaced by its VALUE.
fill() {
  local file=$harness/$1 field name script=(-e '/^#/d') value names=" "
  shift
  for field in "$@"; do
    names+="${field%%=*} "
    # VALUE as sed's replacement text: \, & and the delimiter | escaped.
    value=$(printf '%s' "${field#*=}" | sed -e 's/[\\&|]/\\&/g')
    script+=(-e "s|@${field%%=*}@|$value|g")
  done
  for name in $(sed '/^#/d' "$file" | grep -o '@[^@]*@' | tr -d @); do
    [[ $names == *" $name "* ]] || { echo "$file: no value for the field $name" >&2; exit 1; }
  done
  sed "${script[@]}" "$file"
}
fill vsftpd.conf.in IPV4=$ipv4 IPV6=$ipv6 ADDRESS_SETTING=$setting ADDRESS=$address PORT="$port" ROOT="$root" EMPTY="$work/empty" > "$work/vsftpd.conf"
if [ "$modes" = passive-only ]; then fill vsftpd-passive-only.conf >> "$work/vsftpd.conf"; fi
if [ "$modes" = tls ]; then
  ec=(-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes)
  openssl req -x509 "${ec[@]}" -keyout "$work/ca.key" -out "$work/ca.pem" -days 2 -subj "/CN=VM_VER32 demo CA" 2>/dev/null
  openssl req "${ec[@]}" -keyout "$work/server.key" -out "$work/server.csr" -subj "/CN=127.0.0.1" 2>/dev/null
  printf 'subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n' > "$work/server.ext"
  openssl x509 -req -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
    -out "$work/server.pem" -days 2 -extfile "$work/server.ext" 2>/dev/null
  fill vsftpd-tls.conf.in CERT="$work/server.pem" KEY="$work/server.key" REUSE=YES >> "$work/vsftpd.conf"
fi
# vsftpd writes its start-up errors to standard input.
timeout 3600 vsftpd "$work/vsftpd.conf" <>"$work/vsftpd.log" >"$work/vsftpd.log" 2>&1 &
pid=$!
# Only a listener of vsftpd, the child of timeout, is the server: another
# program may have taken the port meanwhile.
ours() {
  local listener
  for listener in $(ss -ltnpH "src [$address]:$port" | grep -o 'pid=[0-9]*' | cut -d= -f2); do
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
