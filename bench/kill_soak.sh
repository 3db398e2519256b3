#!/usr/bin/env bash
# The hard-stop test at length: the program killed at random moments as
# often as asked (default 500), with every check after each kill. Prints the
# number of kills and how often a cut-off write had left a temporary file
# for the next start to clear.
#   bench/kill_soak.sh [kills]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export LC_ALL=C
scripts/setup.sh
. scripts/wine-env.sh
mkdir -p build
tavelin_pick_arch build
tree=$(tavelin_tree "$TAVELIN_ARCH")
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTAVELIN_ARCH="$TAVELIN_ARCH" \
  -DTAVELIN_TESTS=all -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" >/dev/null
cmake --build "$tree" -j"$(nproc)" >/dev/null

export TAVELIN_FORCE_XVFB=1
tavelin_prefix
tavelin_display
tavelin_wineserver
trap 'wineserver -k 2>/dev/null || true; [ -n "${TAVELIN_XVFB_PID:-}" ] && kill "$TAVELIN_XVFB_PID" 2>/dev/null || true' EXIT

export E2E_KILLS=${1:-500}
(cd "$tree" && ctest -R e2e.test_hard_stops --timeout 100000 -V) |
  sed -n 's/^.*== \(random seed\|[0-9]* kills\)/\1/p'
