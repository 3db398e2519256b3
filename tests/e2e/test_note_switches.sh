#!/usr/bin/env bash
# The switches of a note: clock, stay on top, roll-up, title bar and button
# bar. Each shows at once, writes its key (stay on top has none: it writes
# only the note's placement), and the note comes back the same way at the
# next start.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "Schalter" PixelsPerInch=96 NormPos=200,150,500,450

key_is() { [ "$(ini_get Notiz1 "$1")" = "$2" ]; }
height_of() { local l t r b; read -r l t r b <<<"$(e2e_rect "$1")"; echo $((b - t)); }
exstyle_of() { drv_ok info "$1" | sed -n 's/.*exstyle=\(0x[0-9a-f]*\).*/\1/p'; }
properties() {
    e2e_note_menu "$1"
    drv_ok menu-show | sed -n '/^Notiz-Eigenschaften/,/^[^ ]/p' | sed -n 's/^  //p'
    drv_ok menu-close >/dev/null
}

e2e_start
note=$(e2e_note_with_text "Schalter")
e2e_expect_eq "$(e2e_rect "$note")" "200 150 500 450" "stored rectangle"
props=$(properties "$note")
e2e_expect_line "$props" "Uhr sichtbar" "clock unchecked without showclock"
e2e_expect_line "$props" "Menüleiste sichtbar [x]" "button bar checked"
e2e_expect_line "$props" "Titelleiste sichtbar [x]" "title bar checked"
e2e_expect_line "$props" "Notiz immer sichtbar" "stay on top unchecked"
e2e_expect_eq "$(e2e_child_shown "$note" rxclock)" 0 "clock shown without showclock"

e2e_log "clock on"
e2e_note_menu "$note"
drv_ok menu "Notiz-Eigenschaften/Uhr sichtbar" >/dev/null
e2e_wait_for "showclock=1" key_is showclock 1
e2e_expect_eq "$(e2e_child_shown "$note" rxclock)" 1 "clock shown after switching it on"

e2e_log "stay on top, on and off, keeps the height and writes only the placement"
own_keys() { ini_keys Notiz1 | grep -viE '^(Flags|ShowCmd|PixelsPerInch|MinMaxPos|NormPos|Visible)'; }
before=$(own_keys)
e2e_note_menu "$note"
drv_ok menu "Notiz-Eigenschaften/Notiz immer sichtbar" >/dev/null
topmost() { [ $(($(exstyle_of "$note") & 8)) -ne 0 ]; }
e2e_wait_for "a topmost window" topmost
e2e_expect_eq "$(height_of "$note")" 300 "height on top"
e2e_note_menu "$note"
e2e_expect_line "$(drv_ok menu-show)" "  Notiz immer sichtbar [x]" "stay on top checked"
drv_ok menu "Notiz-Eigenschaften/Notiz immer sichtbar" >/dev/null
not_topmost() { ! topmost; }
e2e_wait_for "a normal window again" not_topmost
e2e_expect_eq "$(height_of "$note")" 300 "height after stay on top"
e2e_wait_for "the placement written" key_is ShowCmd 1
e2e_expect_eq "$(own_keys)" "$before" "keys of the note after stay on top"

e2e_log "roll up with the title-line button"
e2e_click_title_button "$note" 2
rolled() { [ "$(height_of "$note")" -eq 19 ]; }
e2e_wait_for "a rolled-up note, 19 high" rolled
e2e_wait_for "minimiert=1" key_is minimiert 1
ini_expect Notiz1 restoresize 300
e2e_screenshot rolled-up

e2e_exit
ini_expect Notiz1 showclock 1
ini_expect Notiz1 minimiert 1

e2e_start
note=$(e2e_note_with_text "Schalter")
e2e_wait_for "rolled up after the restart" rolled
e2e_expect_eq "$(e2e_child_shown "$note" rxclock)" 0 "clock shown on a rolled-up note"
e2e_click_title_button "$note" 2
unrolled() { [ "$(height_of "$note")" -eq 300 ]; }
e2e_wait_for "unrolled to 300" unrolled
e2e_wait_for "minimiert=0" key_is minimiert 0
e2e_expect_eq "$(e2e_child_shown "$note" rxclock)" 1 "clock shown after unrolling"

e2e_log "title bar and button bar off"
e2e_note_menu "$note"
drv_ok menu "Notiz-Eigenschaften/Titelleiste sichtbar" >/dev/null
e2e_wait_for "titelleiste=0" key_is titelleiste 0
e2e_note_menu "$note"
drv_ok menu "Notiz-Eigenschaften/Menüleiste sichtbar" >/dev/null
e2e_wait_for "Buttonbar=0" key_is Buttonbar 0
text_top() { drv_ok rect "$(drv_ok child "$note" richedit)" | cut -d' ' -f2; }
e2e_expect_eq "$(text_top)" "$(e2e_client_rect "$note" | cut -d' ' -f2)" \
    "top of the text with the title line, its buttons and the button bar off"
bars_shown() { e2e_children "$1" | awk -F'\t' '$2 == "ToolbarWindow32" && $4 == 1' | wc -l; }
e2e_expect_eq "$(bars_shown "$note")" 0 "tool bars shown with the button bar off"
e2e_screenshot bars-off

e2e_exit
e2e_start
note=$(e2e_note_with_text "Schalter")
props=$(properties "$note")
e2e_expect_line "$props" "Titelleiste sichtbar" "title bar unchecked after the restart"
e2e_expect_line "$props" "Menüleiste sichtbar" "button bar unchecked after the restart"
e2e_expect_line "$props" "Uhr sichtbar [x]" "clock checked after the restart"
e2e_expect_eq "$(height_of "$note")" 300 "height after the restart"
e2e_expect_eq "$(bars_shown "$note")" 0 "tool bars shown after the restart"
e2e_note_menu "$note"
drv_ok menu "Notiz-Eigenschaften/Titelleiste sichtbar" >/dev/null
e2e_wait_for "titelleiste=1" key_is titelleiste 1
e2e_exit
