#!/usr/bin/env bash
# Starts a program under the Wine that wine-env.sh chose (WINELOADER). Wine
# takes the encoding of file names from the locale: under LC_ALL=C (which the
# scripts keep for their own shell tools) it could not create a file called
# "Grüße.ini".
export LC_ALL=de_DE.UTF-8
# With the host's address randomisation, the loader's own heap now and then
# lands where Wine must map the shared user data, and the start fails with
# "failed to map the shared user data" and exit code 1. Where the host lets
# us, every start gets the same layout.
same=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
  same=(setarch "$(uname -m)" -R)
fi
exec "${same[@]}" "${WINELOADER:?wine-env.sh chooses the Wine loader}" "$@"
