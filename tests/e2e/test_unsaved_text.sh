#!/usr/bin/env bash
# Typed text is never lost: a note still in edit mode saves its text when the
# program ends, through the tray menu or with the end of the Windows session.
. "$(dirname "$0")/lib.sh"

note_text_is() { [ "$(drv text "$1")" = "$2" ]; }

e2e_start
note=$(e2e_one_note)
drv_ok answer-input "Entwurf" >/dev/null
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys "text:nicht gespeichert" >/dev/null
e2e_wait_for "the typed text" note_text_is "$note" "nicht gespeichert"
e2e_expect_no_file Notiz1.tvn "saved before the exit"

e2e_log "exit through the tray menu while the note is in edit mode"
e2e_exit
[ -s "$E2E_DIR/Notiz1.tvn" ] || e2e_fail "the exit lost the typed text"

e2e_start
note=$(e2e_note_with_text "nicht gespeichert")

e2e_log "end of the Windows session while the note is in edit mode"
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+b end "text: und mehr" >/dev/null
e2e_wait_for "the added text" note_text_is "$note" "nicht gespeichert und mehr"
main=$(e2e_main_window)
# As Windows asks every top-level window: may the session end, it ends.
e2e_expect_eq "$(drv_ok send "$main" 0x11 0 0)" 1 "answer to WM_QUERYENDSESSION"
drv_ok send "$main" 0x16 1 0 >/dev/null
# Windows may end the process as soon as WM_ENDSESSION returns: the text
# must be on disk now.
LC_ALL=C grep -q 'und mehr' "$E2E_DIR/Notiz1.tvn" || e2e_fail "the session end lost the typed text"
ini_get Notiz1 NormPos >/dev/null || e2e_fail "the session end did not write the placement"
e2e_wait_exit

e2e_start
e2e_note_with_text "nicht gespeichert und mehr" >/dev/null
e2e_exit
