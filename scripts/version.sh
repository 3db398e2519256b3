#!/usr/bin/env bash
# Prints the program's version as its version resource carries it and the
# about box shows it: major.minor.patch.build from res/version.h.
set -euo pipefail
awk '$1 == "#define" { v[$2] = $3 }
     END { print v["TAVELIN_VERSION_MAJOR"] "." v["TAVELIN_VERSION_MINOR"] "." \
                 v["TAVELIN_VERSION_PATCH"] "." v["TAVELIN_VERSION_BUILD"] }' \
    "$(dirname "$0")/../res/version.h"
