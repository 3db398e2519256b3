#!/usr/bin/env bash
# ctest's emulator: runs a Windows program under the prepared Wine prefix.
# test.sh has set up the prefix, the display and the wineserver already.
set -e
. "$(dirname "$0")/wine-env.sh"
exec "$WINE" "$@"
