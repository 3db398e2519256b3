#!/usr/bin/env bash
# Installs what is missing, builds the program, puts it with its files into a
# stable program directory and starts it under Wine. Without a display it
# starts a virtual one and saves a screenshot after start-up.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
export LC_ALL=C
scripts/setup.sh
. scripts/wine-env.sh
mkdir -p build
tavelin_pick_arch build
tree=$(tavelin_tree "$TAVELIN_ARCH")
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTAVELIN_ARCH="$TAVELIN_ARCH" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" >/dev/null
cmake --build "$tree" -j"$(nproc)" --target Tavelin

progdir="${TAVELIN_HOME:-${HOME:-/root}/Tavelin}"
mkdir -p "$progdir"
cp "$tree/Tavelin.exe" "$progdir/"
cp res/index.htm "$progdir/" 2>/dev/null || true
[ -f "$progdir/alarm.wav" ] || cp res/alarm.wav "$progdir/" 2>/dev/null || true
echo "Programmverzeichnis: $progdir"

tavelin_prefix
if [ -z "${DISPLAY:-}" ]; then
  tavelin_display
  tavelin_wineserver
  (cd "$progdir" && "$WINE" Tavelin.exe) &
  pid=$!
  sleep "${TAVELIN_SHOT_DELAY:-6}"
  shot="$progdir/start.png"
  import -window root "$shot"
  echo "Bildschirmfoto nach dem Start: $shot"
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  kill "$TAVELIN_XVFB_PID" 2>/dev/null || true
else
  cd "$progdir" && exec "$WINE" Tavelin.exe
fi
