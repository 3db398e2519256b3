#!/usr/bin/env bash
# Prints the benchmark figures: the settings file's speed with 50 note
# records, and the size and imported DLLs of the shipped program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export LC_ALL=C
scripts/setup.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTAVELIN_BENCH=ON >/dev/null
cmake --build build/bench -j"$(nproc)" --target ini_bench >/dev/null
echo "== Einstellungsdatei (Release, ohne Sanitizer)"
build/bench/ini_bench

cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release -DTAVELIN_ARCH=i686 \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" >/dev/null
cmake --build build/win32 -j"$(nproc)" --target Tavelin >/dev/null
exe=build/win32/Tavelin.exe
echo "== $exe"
echo "size: $(stat -c %s "$exe") bytes"
echo "imports:"
i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -f | sed 's/^/  /'
