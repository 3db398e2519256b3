#!/usr/bin/env bash
# Prints the benchmark figures: the settings file's speed with 50 note
# records; start, exit, idle CPU and memory of the program with 50 notes
# against the bare floor program; saving a 1 MB note; a backup; searching
# 50 notes as the query is typed; and the size and imported DLLs of the
# shipped program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export LC_ALL=C
scripts/setup.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTAVELIN_BENCH=ON >/dev/null
cmake --build build/bench -j"$(nproc)" --target ini_bench >/dev/null
echo "== Einstellungsdatei (Release, ohne Sanitizer)"
build/bench/ini_bench

# The programs run as users meet them: the shipped 32-bit build, unless
# this machine's Wine cannot start 32-bit programs.
. scripts/wine-env.sh
mkdir -p build
tavelin_pick_arch build
tree=$(tavelin_tree "$TAVELIN_ARCH")
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTAVELIN_ARCH="$TAVELIN_ARCH" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" >/dev/null
cmake --build "$tree" -j"$(nproc)" --target Tavelin floor probe save_bench backup_bench \
  search_bench >/dev/null
echo "== 50 Notizen ($TAVELIN_ARCH): Programm gegen Boden (bench/floor.cpp), gleicher Lauf; Notiz von 1 MB speichern"
bench/perf.sh "$root/$tree"
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release -DTAVELIN_ARCH=i686 \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" >/dev/null
cmake --build build/win32 -j"$(nproc)" --target Tavelin >/dev/null
exe=build/win32/Tavelin.exe
echo "== $exe"
echo "size: $(stat -c %s "$exe") bytes"
echo "imports:"
i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -f | sed 's/^/  /'
echo "loaded when first called (cmake/delayload):"
sed -n 's/^LIBRARY /  /p' cmake/delayload/*.def
