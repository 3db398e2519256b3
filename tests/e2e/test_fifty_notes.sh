#!/usr/bin/env bash
# With all 50 note numbers in use, a new note is refused with a message and
# nothing is created or written: a note above 50 would never come back.
. "$(dirname "$0")/lib.sh"

{
    printf '[Settings]\nNotizanzahl=50\nfirstrun=1\nstartscreen=0\n'
    for n in $(seq 1 50); do printf '\n[Notiz%d]\nactive=1\nNotizTitel="Nummer %d"\n' "$n" "$n"; done
} | e2e_write_ini

e2e_start
drv_ok wait-count "$NOTE_CLASS" - 50 60000 >/dev/null
e2e_screenshot fifty
e2e_sync  # the restore has written its last
before=$(md5sum <"$E2E_INI")

e2e_log "tray double click with 50 notes"
drv_ok tray dblclick >/dev/null
box=$(drv_ok answer-msgbox ok)
e2e_expect_line "$box" "caption: Tavelin 2000" "message caption"
e2e_expect_line "$box" \
    "text: Es sind bereits 50 Notizen vorhanden. Bitte löschen Sie zuerst eine Notiz." \
    "message text"

e2e_log "hot key with 50 notes"
drv_ok keys ctrl+alt+k >/dev/null
drv_ok answer-msgbox ok >/dev/null

# A 51st note would come up, and ask for its title, once the box is closed.
e2e_drain
e2e_expect_windows "$NOTE_CLASS" - 50 "notes after the refused ones"
e2e_expect_no_window '#32770' - "a title prompt for a 51st note"
e2e_expect_eq "$(md5sum <"$E2E_INI")" "$before" "settings file after the refused notes"
e2e_expect_no_file Notiz51.tvn "a 51st note"

e2e_exit
ini_expect_no_section Notiz51 "a 51st note"
ini_expect Settings Notizanzahl 50
ini_expect Notiz50 active 1
