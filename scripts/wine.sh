#!/usr/bin/env bash
# Starts a program under the Wine that wine-env.sh chose (WINELOADER). Wine
# takes the encoding of file names from the locale: under LC_ALL=C (which the
# scripts keep for their own shell tools) it could not create a file called
# "Grüße.ini".
export LC_ALL=de_DE.UTF-8
exec "${WINELOADER:?wine-env.sh chooses the Wine loader}" "$@"
