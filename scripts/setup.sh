#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again:
# it only installs what is missing.
set -euo pipefail
export LC_ALL=C
pkgs="wine wine64 fonts-wine g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake make g++
      googletest libgtest-dev xvfb xdotool imagemagick x11-utils locales inotify-tools
      clang libclang-rt-14-dev zip"
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=""
for p in $pkgs; do installed "$p" || missing="$missing $p"; done
# The shipped program is 32-bit and runs under 32-bit Wine, which comes from
# the i386 architecture. A machine that cannot have it still builds and tests
# the 64-bit program; test.sh then says that the shipped one went untested.
wine32=""
if ! installed wine32:i386; then
  if dpkg --print-foreign-architectures | grep -qx i386 ||
     $SUDO dpkg --add-architecture i386; then
    wine32=wine32:i386
  else
    echo "WARNUNG: Die Architektur i386 ließ sich nicht hinzufügen; ohne sie gibt es" \
      "kein 32-Bit-Wine, und die Tests prüfen nur das 64-Bit-Programm." >&2
  fi
fi
# The i386 packages must match the amd64 ones of the same name version for
# version. When the mirror's i386 index of the security updates is broken,
# only the release versions match: apt then takes those for both
# architectures (the amd64 ones of Wine's libraries go back to the release),
# with the security updates set aside for this one install.
install_wine32() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "$wine32" && return
  echo "WARNUNG: wine32 passt nicht zu den installierten Paketen (Sicherheits-Index" \
    "für i386 fehlt?); neuer Versuch mit den Paketversionen der Debian-Ausgabe." >&2
  local pins
  pins=$(mktemp -d)
  printf '%s\n' 'Package: *' 'Pin: release l=Debian-Security' 'Pin-Priority: -1' '' \
    'Package: *' 'Pin: release l=Debian' 'Pin-Priority: 1001' >"$pins/preferences"
  mkdir "$pins/parts"
  local status=0
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o Dir::Etc::Preferences="$pins/preferences" \
    -o Dir::Etc::PreferencesParts="$pins/parts" install -y -q --allow-downgrades "$wine32" ||
    status=$?
  rm -rf "$pins"
  return "$status"
}
if [ -n "$missing$wine32" ]; then
  echo "Installiere:$missing $wine32"
  # A mirror in the middle of a sync fails single indexes (the i386 one of
  # the security updates, say); the lists apt already has still serve.
  if ! $SUDO apt-get update -q; then
    echo "WARNUNG: apt-get update ist fehlgeschlagen (siehe oben); es wird mit den" \
      "vorhandenen Paketlisten weiter installiert." >&2
  fi
  if [ -n "$missing" ] &&
     ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing; then
    echo "FEHLER: Die Pakete$missing ließen sich nicht installieren (siehe oben)." \
      "Bitte die Paketquellen prüfen und scripts/setup.sh erneut ausführen." >&2
    exit 1
  fi
  if [ -n "$wine32" ] && ! install_wine32; then
    echo "WARNUNG: 32-Bit-Wine ($wine32) ließ sich nicht installieren; die Tests" \
      "prüfen dann nur das 64-Bit-Programm." >&2
  fi
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
