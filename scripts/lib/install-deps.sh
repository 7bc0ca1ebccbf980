#!/usr/bin/env bash
# Installs everything the build, the program and the tests need on Debian 12,
# and the packages named as arguments.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libgtest-dev libgmock-dev
  xvfb xauth x11-utils xdotool imagemagick tesseract-ocr tesseract-ocr-eng fonts-dejavu-core fonts-liberation2
  vsftpd python3 python3-pyftpdlib ftp-proxy iproute2
  libssl-dev python3-openssl openssl
  # GnuTLS: the test server whose TLS sends empty records, which OpenSSL never does
  libgnutls30
)
# Callers that need more (the benchmarks, the fuzzers) name it as arguments.
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
