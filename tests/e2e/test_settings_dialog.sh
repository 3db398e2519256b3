#!/usr/bin/env bash
# "Grundeinstellungen" from the tray menu, worked with the keyboard: edits
# that are cancelled leave the file as it was; a new hot-key letter confirmed
# with Enter is stored and works at once, and the old combination no longer
# does.
. "$(dirname "$0")/lib.sh"

E2E_SETTINGS=Hotkey_neu=K e2e_write_notes "eins" PixelsPerInch=96 NormPos=100,100,370,340

# The dialog's controls by their ids.
FONT=101 SIZE=102 WORDWRAP=104 NEW_NOTE=106 FOREGROUND=107
control() { e2e_children "$1" | awk -F'\t' -v id="$2" '$3 == id { print $1 }'; }
control_text() { e2e_children "$1" | awk -F'\t' -v id="$2" '$3 == id { print $6 }'; }
checked() { [ "$(drv_ok send "$(control "$1" "$2")" 0xF0 0 0)" = 1 ]; }  # BM_GETCHECK

open_settings() {
    drv_ok tray rclick >/dev/null
    drv_ok menu "Grundeinstellungen..." >/dev/null
    local dialog
    dialog=$(drv_ok wait-window SettingsDialog Grundeinstellungen)
    drv_ok focus "$dialog" >/dev/null
    printf '%s\n' "$dialog"
}

e2e_start
e2e_note_with_text "eins" >/dev/null

e2e_log "the dialog shows the stored values"
dialog=$(open_settings)
e2e_expect_eq "$(control_text "$dialog" $NEW_NOTE)" K "new-note letter"
e2e_expect_eq "$(control_text "$dialog" $FOREGROUND)" X "foreground letter (default)"
e2e_expect_eq "$(control_text "$dialog" $SIZE)" 10 "font size (default)"
e2e_expect_eq "$(control_text "$dialog" $FONT)" Arial "font (default)"
checked "$dialog" $WORDWRAP && e2e_fail "word wrap checked without the key"
e2e_screenshot settings

e2e_log "edits, then Escape: nothing is written"
before=$(md5sum <"$E2E_INI")
# From the font list: size, three check boxes, then the new-note letter.
drv_ok keys tab tab tab tab tab text:q >/dev/null
letter_is() { [ "$(control_text "$dialog" $NEW_NOTE)" = "$1" ]; }
e2e_wait_for "q typed over the letter" letter_is q
drv_ok click "$(control "$dialog" $WORDWRAP)" 8 8 >/dev/null
checked_now() { checked "$dialog" $WORDWRAP; }
e2e_wait_for "word wrap checked" checked_now
drv_ok keys esc >/dev/null
drv_ok wait-gone "$dialog" >/dev/null
e2e_sync
e2e_expect_eq "$(md5sum <"$E2E_INI")" "$before" "settings file after Escape"

e2e_log "a new letter, confirmed with Enter, works at once"
dialog=$(open_settings)
e2e_expect_eq "$(control_text "$dialog" $NEW_NOTE)" K "letter shown again after Escape"
checked "$dialog" $WORDWRAP && e2e_fail "word wrap still checked after Escape"
drv_ok keys tab tab tab tab tab text:n enter >/dev/null
drv_ok wait-gone "$dialog" >/dev/null
e2e_sync
ini_expect Settings Hotkey_neu N
ini_expect Settings Hotkey_Vordergrund X
ini_expect Settings Standardfontsize 10
ini_expect Settings wordwrap 0

# As another program would find them: the old combination free, the new one
# taken.
drv hotkey-free ctrl+alt+k >/dev/null || e2e_fail "Ctrl+Alt+K is still held"
# Exit code 1 is "taken"; anything else but 0 would be a driver that did not run.
held=0
drv hotkey-free ctrl+alt+n >/dev/null || held=$?
e2e_expect_eq "$held" 1 "the driver's answer whether Ctrl+Alt+N is taken"
drv_ok keys ctrl+alt+n >/dev/null
drv_ok answer-input "Per Hotkey" >/dev/null
e2e_notes 2 >/dev/null
title_written() { ini_get Notiz2 NotizTitel >/dev/null; }
e2e_wait_for "the new note's title" title_written
ini_expect Notiz2 NotizTitel '"Per Hotkey  "'

e2e_exit
