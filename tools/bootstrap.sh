#!/usr/bin/env bash
# Installs, when missing, the Debian packages that building and testing need:
# the MinGW-w64 cross toolchain, 32-bit Wine with its IDL files, an X server for
# windows, GoogleTest sources, socat for serial line pairs, imagemagick for captures.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

packages=(wine wine32:i386 wine64 mingw-w64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev
          fonts-wine xvfb xauth googletest socat cmake make busybox-static x11-utils)
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
