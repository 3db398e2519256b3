#!/usr/bin/env bash
# "Alle Notizen holen" in the tray menu lays every shown note over the top
# left corner of the screen, one a step below the other in the order of
# their numbers, keeps their sizes (a note larger than the screen shrunk to
# it) and writes where they are now.
. "$(dirname "$0")/lib.sh"

e2e_write_notes \
    "eins" PixelsPerInch=96 NormPos=3000,2000,3270,2240 -- \
    "zwei" PixelsPerInch=96 NormPos=-900,-900,-600,-700 -- \
    "drei" PixelsPerInch=96 NormPos=500,300,800,500

e2e_start
e2e_notes 3 >/dev/null
one=$(e2e_note_with_text "eins")
two=$(e2e_note_with_text "zwei")
three=$(e2e_note_with_text "drei")

drv_ok tray rclick >/dev/null
drv_ok menu "Alle Notizen holen" >/dev/null
# The last note moves last.
gathered() { [ "$(e2e_rect "$three")" = "40 40 340 240" ]; }
e2e_wait_for "Notiz3 gathered" gathered
e2e_screenshot gathered
e2e_expect_eq "$(e2e_rect "$one")" "0 0 270 240" "Notiz1 in the corner"
e2e_expect_eq "$(e2e_rect "$two")" "20 20 320 220" "Notiz2 one step further"

written() { [ "$(ini_get Notiz3 NormPos)" = "40,40,340,240" ]; }
e2e_wait_for "the new places in the file" written
ini_expect Notiz1 NormPos "0,0,270,240"
ini_expect Notiz2 NormPos "20,20,320,220"
ini_expect Notiz2 'NormPos(1024x768)' "20,20,320,220"

e2e_exit
ini_expect Notiz1 NormPos "0,0,270,240"
