#!/usr/bin/env bash
# Installs everything the build, the window and the tests need on Debian 12.
# Safe to run again: when every package is there it only checks and returns.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth xdg-utils fonts-dejavu-core
  valgrind librsvg2-bin desktop-file-utils dpkg-dev file
  libzint-dev          # the emulator's receipts: barcodes, QR Code and PDF417 encoded
  libfreetype-dev      # the emulator's receipts: glyphs drawn from the fonts below
  fonts-terminus-otb   # the emulator's receipts: the 12x24 and 8x16 bitmap strikes of fonts A and B
  libzxing-dev         # receipt tests: codes in the written pictures decoded back
  lintian    # scripts/package.sh checks the .deb with it
  appstream  # scripts/package.sh validates the AppStream metadata (appstreamcli)
  ansible-core  # the test of softswitchctl's example playbook runs ansible-playbook
  iproute2   # ip brings up loopback in the client test's own network namespace
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
# npm installs the point-of-sale clients the emulator is tested with
# (tests/clients). A machine whose Node.js already brings npm keeps it: Debian's
# npm package conflicts with such a Node.js.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
