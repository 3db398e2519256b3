#!/usr/bin/env bash
# A note's colour, stored or chosen by the user, is kept with its placement. A stored rectangle from another
# pixels-per-inch setting is not used (the window stays where the system puts
# it), but the colour is restored all the same.
. "$(dirname "$0")/lib.sh"

# The colour in the middle of a note's text area.
text_color() {
    local memo l t r b
    memo=$(drv_ok child "$1" richedit)
    read -r l t r b <<<"$(e2e_rect "$memo")"
    e2e_pixel $(((l + r) / 2)) $(((t + b) / 2))
}
color_is() { [ "$(text_color "$1")" = "$2" ]; }

e2e_write_notes \
    "rot" PixelsPerInch=120 NormPos=600,400,900,600 memo1_Color=255 -- \
    "blau" PixelsPerInch=96 NormPos=500,100,800,300 memo1_Color=16744448

e2e_start
e2e_notes 2 >/dev/null
red=$(e2e_note_with_text "rot")
blue=$(e2e_note_with_text "blau")
e2e_screenshot colours

e2e_log "another pixels-per-inch: the stored rectangle is not used"
# The note keeps its made size, 270 by 240 at 96 dpi, where the system put
# it (the corner here), moved out of the corner to 160, 160.
e2e_expect_eq "$(e2e_rect "$red")" "160 160 430 400" "rectangle of the note stored at 120 dpi"
e2e_wait_for "the colour red restored all the same" color_is "$red" "#ff0000"

e2e_log "a coloured note keeps its colour"
e2e_expect_eq "$(e2e_rect "$blue")" "500 100 800 300" "rectangle of the blue note"
e2e_wait_for "the blue note's colour" color_is "$blue" "#0080ff"

e2e_log "the user colours a note green"
e2e_note_menu "$blue"
drv_ok menu "Notiz-Eigenschaften/Notiz-Farbe..." >/dev/null
drv_ok answer-dialog Farbe ok 706=0 707=128 708=0 >/dev/null
e2e_wait_for "the new colour" color_is "$blue" "#008000"
e2e_screenshot coloured

e2e_exit
ini_expect Notiz1 memo1_Color 255
ini_expect Notiz1 PixelsPerInch 96
ini_expect Notiz2 memo1_Color 32768

e2e_start
e2e_notes 2 >/dev/null
red=$(e2e_note_with_text "rot")
green=$(e2e_note_with_text "blau")
e2e_wait_for "red after the restart" color_is "$red" "#ff0000"
e2e_wait_for "green after the restart" color_is "$green" "#008000"
e2e_exit
