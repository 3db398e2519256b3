#!/usr/bin/env bash
# Stored rectangles as they may be found in a settings file: a "NormPos" with
# fewer than four numbers or with a non-numeric one, an edge at exactly 0,
# a rectangle far off the screen, keys of another screen size.
. "$(dirname "$0")/lib.sh"

e2e_write_notes \
    "Notiz Nummer 1" PixelsPerInch=96 NormPos=300,200,600 -- \
    "Notiz Nummer 2" PixelsPerInch=96 NormPos=250,abc,550,400 -- \
    "Notiz Nummer 3" PixelsPerInch=96 NormPos=0,50,300,250 -- \
    "Notiz Nummer 4" PixelsPerInch=96 NormPos=1,0,301,200 -- \
    "Notiz Nummer 5" PixelsPerInch=96 NormPos=5000,4000,5300,4200 -- \
    "Notiz Nummer 6" PixelsPerInch=96 'NormPos(800x600)=10,10,110,110' NormPos=400,300,700,500 -- \
    "Notiz Nummer 7" PixelsPerInch=96 'NormPos(1024x768)=420,320,720,520' NormPos=10,10,310,210

e2e_start
e2e_notes 7 >/dev/null
e2e_screenshot restored
declare -A note
for n in 1 2 3 4 5 6 7; do note[$n]=$(e2e_note_with_text "Notiz Nummer $n"); done
e2e_drain
e2e_expect_no_window '#32770' - "a box about the stored values"

rect_of() { e2e_rect "${note[$1]}"; }

e2e_log "three numbers: the missing bottom keeps the current value"
read -r l t r b <<<"$(rect_of 1)"
e2e_expect_eq "$l $t $r" "300 200 600" "note 1 left, top, right"

e2e_log "a non-numeric top keeps the current value, the other numbers count"
read -r l t r b <<<"$(rect_of 2)"
e2e_expect_eq "$l $r" "250 550" "note 2 left and right"
[ "$t" -ge 0 ] && [ "$b" -le 768 ] && [ "$t" -lt "$b" ] || e2e_fail "note 2 is not on the screen: $l $t $r $b"

e2e_log "an edge at exactly 0 goes to 160, an edge at 1 stays"
e2e_expect_eq "$(rect_of 3)" "160 50 460 250" "note 3 stored at left 0"
e2e_expect_eq "$(rect_of 4)" "1 160 301 360" "note 4 stored at top 0"

e2e_log "a rectangle far off the screen comes back on it, at its size"
read -r l t r b <<<"$(rect_of 5)"
e2e_expect_eq "$((r - l))x$((b - t))" "300x200" "size of note 5"
[ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1024 ] && [ "$b" -le 768 ] ||
    e2e_fail "note 5 is not on the screen: $l $t $r $b"

e2e_log "keys of another screen size are passed over for the plain ones"
e2e_expect_eq "$(rect_of 6)" "400 300 700 500" "note 6"
e2e_expect_eq "$(rect_of 7)" "420 320 720 520" "note 7"

e2e_exit
ini_expect Notiz3 NormPos "160,50,460,250"
ini_expect Notiz4 NormPos "1,160,301,360"
ini_expect Notiz6 NormPos "400,300,700,500"
ini_expect Notiz6 'NormPos(1024x768)' "400,300,700,500"
ini_expect Notiz6 'NormPos(800x600)' "10,10,110,110"
