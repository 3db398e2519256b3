#!/usr/bin/env bash
# ctest's emulator: runs a Windows program of the given architecture (i686 or
# x86_64) under the prepared Wine prefix of that architecture.
#   wine-run.sh <arch> <program> [arguments...]
# test.sh has set up the prefix, the display and the wineserver already.
# A program that ends with an error says so with its exit code, so that a
# process that Wine ended before it could print anything is seen for what
# it is.
set -e
TAVELIN_ARCH=$1
shift
. "$(dirname "$0")/wine-env.sh"
status=0
"$WINE" "$@" || status=$?
if [ "$status" -ne 0 ]; then
    printf 'wine-run: %s ended with exit code %d\n' "$(basename "$1")" "$status" >&2
fi
exit "$status"
