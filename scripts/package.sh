#!/usr/bin/env bash
# Builds the release package dist/Tavelin2000-<version>.zip: the 32-bit
# program users get, its alarm sound, the help page and a short German
# read-me, in one folder "Tavelin2000" that users unpack where they keep it.
# The program is the one test.sh tests (build/win32), built the same way,
# so that test.sh can tell when a package no longer matches it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export LC_ALL=C

cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release -DTAVELIN_ARCH=i686 \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" >/dev/null
cmake --build build/win32 -j"$(nproc)" --target Tavelin

version=$(scripts/version.sh)
zip=dist/Tavelin2000-$version.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir=$stage/Tavelin2000
mkdir -p "$dir" dist
cp build/win32/Tavelin.exe res/alarm.wav res/index.htm "$dir/"
# Notepad on every Windows version reads UTF-8 with its byte-order mark;
# the lines end as Windows ends them.
{
  printf '\357\273\277'
  sed 's/$/\r/' <<TEXT
Tavelin 2000 $version
=====================

Tavelin 2000 ist ein Notizzettel-Programm für den Windows-Desktop. Es sitzt
im Infobereich der Taskleiste (neben der Uhr) und hält bis zu 50 Notizen als
kleine Fenster auf dem Bildschirm, mit Titelzeile, Uhr, Farben und
Erinnerungen mit Alarm. Die Hilfe steht in "index.htm".

Einrichten
----------
Den Ordner "Tavelin2000" an einen Ort entpacken, an dem Sie schreiben dürfen,
zum Beispiel in Ihre "Eigenen Dateien", und dort "Tavelin.exe" starten.
Eine Installation gibt es nicht.

Wo die Notizen liegen
---------------------
Alles wird im Ordner des Programms gespeichert, neben "Tavelin.exe":
- "Tavelin.ini": die Einstellungen und zu jeder Notiz Titel, Farben, Alarm
  und Platz auf dem Bildschirm,
- "Notiz1.tvn", "Notiz2.tvn", ...: der Text jeder Notiz (RTF),
- "uns.ini": die Liste der gerade unsichtbaren Notizen,
- "alarm.wav": der Ton des Alarms; er darf durch eine andere WAV-Datei
  gleichen Namens ersetzt werden.
Darum darf das Programm nicht in einem schreibgeschützten Ordner liegen
(etwa "C:\Programme").

Notizen auf einen anderen Computer bringen
------------------------------------------
1. Tavelin 2000 beenden (Symbol im Infobereich, rechte Maustaste,
   "Tavelin beenden").
2. Den ganzen Ordner "Tavelin2000" auf den anderen Computer kopieren, zum
   Beispiel mit einem USB-Stick.
   Steht dort schon ein Tavelin 2000: es beenden und die Dateien
   "Tavelin.ini" und alle "Notiz*.tvn" in seinen Ordner kopieren. Das
   ersetzt die Notizen, die es dort schon gab.
3. Dort "Tavelin.exe" starten: die Notizen erscheinen an ihren Plätzen.
TEXT
} >"$dir/LIESMICH.txt"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$root/$zip" Tavelin2000)
echo "$zip: $(stat -c %s "$zip") Bytes"
