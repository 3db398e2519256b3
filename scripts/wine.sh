#!/usr/bin/env bash
# Starts a program under the project's 64-bit Wine. Wine takes the encoding of
# file names from the locale: under LC_ALL=C (which the scripts keep for their
# own shell tools) it could not create a file called "Grüße.ini".
export LC_ALL=de_DE.UTF-8
export WINELOADER=/usr/lib/wine/wine64
exec /usr/lib/wine/wine64 "$@"
