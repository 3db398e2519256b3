#!/usr/bin/env bash
# Deleting a note asks first; Cancel changes nothing. OK removes the window
# and the text file, marks the section inactive with the default size, frees
# the number for the next note, and the next start erases the section.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "erste Notiz" -- "zweite Notiz"

e2e_start
e2e_notes 2 >/dev/null
note1=$(e2e_note_with_text "erste Notiz")
note2=$(e2e_note_with_text "zweite Notiz")
drv_ok move "$note1" 100 100 270 240 >/dev/null
drv_ok move "$note2" 500 100 270 240 >/dev/null
memo1=$(drv_ok child "$note1" richedit)

e2e_log "delete from the menu, then Cancel"
drv_ok click "$memo1" 40 30 right >/dev/null
drv_ok menu "Notiz löschen" >/dev/null
drv_ok wait-window '#32770' "Notiz löschen" >/dev/null
e2e_screenshot confirmation
box=$(drv_ok answer-msgbox cancel)
e2e_expect_line "$box" "caption: Notiz löschen" "confirmation caption"
e2e_expect_line "$box" "text: Wollen Sie diese Notiz wirklich löschen?" "confirmation text"
e2e_sync
drv_ok find "$NOTE_CLASS" - | grep -x "$note1" >/dev/null || e2e_fail "Cancel removed the note"
[ -e "$E2E_DIR/Notiz1.tvn" ] || e2e_fail "Cancel deleted the text file"
ini_expect Notiz1 active 1

e2e_log "delete with Ctrl+L, then OK"
drv_ok click "$memo1" 40 30 >/dev/null
drv_ok keys ctrl+l >/dev/null
drv_ok answer-msgbox ok >/dev/null
drv_ok wait-gone "$note1" >/dev/null
e2e_wait_for "Notiz1.tvn deleted" test ! -e "$E2E_DIR/Notiz1.tvn"
inactive() { [ "$(ini_get "$1" active)" = 0 ]; }
e2e_wait_for "[Notiz1] active=0" inactive Notiz1
# The placement storage wrote the default size for the next note 1.
default_size() {
    local pos l t r b
    pos=$(ini_get Notiz1 NormPos) || return 1
    IFS=, read -r l t r b <<<"$pos"
    [ $((r - l)) -eq 284 ] && [ $((b - t)) -eq 270 ]
}
e2e_wait_for "the default size 284 x 270 in [Notiz1]" default_size
ini_expect Notiz1 memo1_Color 65535

e2e_log "delete with the small button on the title line, then OK"
e2e_click_title_button "$note2" 1
drv_ok answer-msgbox ok >/dev/null
drv_ok wait-gone "$note2" >/dev/null
e2e_wait_for "Notiz2.tvn deleted" test ! -e "$E2E_DIR/Notiz2.tvn"
e2e_wait_for "[Notiz2] active=0" inactive Notiz2

e2e_log "the freed number 1 goes to the next note, at the default size"
drv_ok tray dblclick >/dev/null
drv_ok answer-input "Neu" >/dev/null
note=$(e2e_one_note)
ini_expect Notiz1 active 1
ini_expect Notiz1 NotizTitel '"Neu  "'
read -r l t r b <<<"$(e2e_rect "$note")"
e2e_expect_eq "$((r - l))x$((b - t))" "284x270" "size of the new note 1"

e2e_exit
e2e_start
e2e_one_note >/dev/null
e2e_wait_for "section Notiz2 erased at the start" ini_lacks_section Notiz2
ini_expect Notiz1 active 1
e2e_exit
