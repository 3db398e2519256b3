#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again:
# it only installs what is missing.
set -euo pipefail
export LC_ALL=C
# 32-bit Wine is left out on purpose: where the kernel runs no 32-bit Linux
# programs it cannot start, and the tests run the 64-bit build under wine64.
pkgs="wine wine64 fonts-wine g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake make g++
      googletest libgtest-dev xvfb xdotool imagemagick x11-utils locales inotify-tools
      clang libclang-rt-14-dev"
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installiere:$missing"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
