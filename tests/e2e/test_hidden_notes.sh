#!/usr/bin/env bash
# "Notiz unsichtbar" in a note's menu takes it off the desktop; it is listed
# in "unsichtbare Notizen " (tray menu) and comes back from there where it
# was. After a restart every note is shown again.
. "$(dirname "$0")/lib.sh"

e2e_write_notes \
    "eins" 'NotizTitel="Einkauf  "' PixelsPerInch=96 NormPos=100,100,370,340 -- \
    "zwei" 'NotizTitel="Telefon  "' PixelsPerInch=96 NormPos=500,100,770,340
UNS=$E2E_DIR/uns.ini

hide_note() {
    e2e_note_menu "$1"
    drv_ok menu "Notiz unsichtbar" >/dev/null
    drv_ok wait-gone "$1" >/dev/null
}

e2e_start
e2e_notes 2 >/dev/null
one=$(e2e_note_with_text "eins")
# Moved, so that coming back in the old place would show.
drv_ok drag "$one" 150 10 80 60 >/dev/null
moved() { [ "$(e2e_rect "$one")" = "180 160 450 400" ]; }
e2e_wait_for "the note moved" moved
place=$(e2e_rect "$one")

e2e_log "hide the first note"
hide_note "$one"
e2e_notes 1 >/dev/null
e2e_note_with_text "zwei" >/dev/null
e2e_wait_for "uns.ini" test -f "$UNS"
e2e_expect_eq "$(ini_get "Einkauf  " intname "$UNS")" Notiz1 "intname in uns.ini"
e2e_expect_eq "$(ini_get "Einkauf  " sichtbar "$UNS")" 0 "sichtbar in uns.ini"

e2e_log "find it in the list and bring it back"
drv_ok tray rclick >/dev/null
drv_ok menu "unsichtbare Notizen..." >/dev/null
dialog=$(drv_ok wait-window HiddenNotesDialog "unsichtbare Notizen ")
list=$(drv_ok child "$dialog" listbox)
e2e_expect_eq "$(drv_ok items "$list")" "Einkauf  " "the list"
e2e_screenshot hidden-notes
line_height=$(drv_ok send "$list" 0x1A1 0 0)  # LB_GETITEMHEIGHT
drv_ok click "$list" 20 $((2 + line_height / 2)) >/dev/null
button() { e2e_children "$dialog" | awk -F'\t' -v t="$1" '$6 == t { print $1 }'; }
drv_ok click "$(button "Notiz sichtbar")" 20 10 >/dev/null
e2e_notes 2 >/dev/null
e2e_expect_eq "$(e2e_rect "$one")" "$place" "the note's place after coming back"
sichtbar_is() { [ "$(ini_get "Einkauf  " sichtbar "$UNS")" = "$1" ]; }
e2e_wait_for "sichtbar=1" sichtbar_is 1
drv_ok click "$(button OK)" 20 10 >/dev/null
drv_ok wait-gone "$dialog" >/dev/null

e2e_log "hidden at the end, shown at the next start"
hide_note "$one"
e2e_exit
e2e_start
e2e_notes 2 >/dev/null
e2e_expect_eq "$(e2e_rect "$(e2e_note_with_text "eins")")" "$place" "the hidden note's place after the restart"
sichtbar_is 0 || e2e_fail "the second hiding did not write sichtbar=0"
e2e_exit
