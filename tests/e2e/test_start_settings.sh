#!/usr/bin/env bash
# Start-up settings: "startscreen" = 0 shows no splash, "Hotkey_neu" = N makes
# Ctrl+Alt+N the new-note key (and Ctrl+Alt+K none). A second start in the
# same directory ends at once, touches no file and leaves one program.
. "$(dirname "$0")/lib.sh"

e2e_write_ini <<'INI'
[Settings]
Notizanzahl=1
firstrun=1
startscreen=0
Hotkey_neu=N

[Notiz1]
active=1
INI
e2e_write_note_text Notiz1 "vorhanden"

e2e_start
drv_ok tray rclick >/dev/null  # waits for the tray icon, which comes after the splash would
drv_ok menu-close >/dev/null
drv find "$TRAY_CLASS" - >/dev/null && e2e_fail "the splash shows although startscreen is 0"
e2e_note_with_text "vorhanden" >/dev/null
drv find "$TRAY_CLASS" - >/dev/null && e2e_fail "the splash showed although startscreen is 0"

e2e_log "Ctrl+Alt+K is no hot key now, Ctrl+Alt+N is"
drv_ok keys ctrl+alt+k ctrl+alt+n >/dev/null
drv_ok answer-input "Mit N" >/dev/null
e2e_notes 2 >/dev/null
e2e_sync
drv find '#32770' - >/dev/null && e2e_fail "a second title prompt: Ctrl+Alt+K made a note too"
ini_expect Notiz2 NotizTitel '"Mit N  "'
ini_has_section Notiz3 && e2e_fail "Ctrl+Alt+K made a note"

e2e_log "a second start in the same directory"
e2e_sync
before=$(md5sum "$E2E_DIR"/*)
(cd "$E2E_DIR" && exec env -u LC_ALL "$WINE" "$E2E_DIR/Tavelin.exe" </dev/null >>"$E2E_WORK/second.log" 2>&1) &
second=$!
second_ended() { ! kill -0 "$second" 2>/dev/null; }
e2e_wait_for "the second start to end" second_ended
code=0
wait "$second" || code=$?
e2e_expect_eq "$code" 0 "exit code of the second start"
e2e_expect_eq "$(drv_ok pids | wc -l)" 1 "programs running"
e2e_notes 2 >/dev/null
e2e_sync
e2e_expect_eq "$(md5sum "$E2E_DIR"/*)" "$before" "files after the second start"

e2e_exit
