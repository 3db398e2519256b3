#!/usr/bin/env bash
# Start-up settings: "startscreen" = 0 shows no splash, "Hotkey_neu" = N makes
# Ctrl+Alt+N the new-note key (and Ctrl+Alt+K none). A second start in the
# same directory ends at once, touches no file and leaves one program; a copy
# in another directory runs beside it with its own notes.
. "$(dirname "$0")/lib.sh"

E2E_SETTINGS=Hotkey_neu=N e2e_write_notes "vorhanden"

e2e_start
# The tray icon comes after the place where the splash would have been shown.
drv_ok tray rclick >/dev/null
drv_ok menu-close >/dev/null
e2e_expect_no_window "$TRAY_CLASS" - "the splash although startscreen is 0"
e2e_note_with_text "vorhanden" >/dev/null

e2e_log "Ctrl+Alt+K is no hot key now, Ctrl+Alt+N is"
drv_ok keys ctrl+alt+n >/dev/null
prompt=$(drv_ok answer-input "Mit N")
e2e_expect_line "$prompt" "caption: Notiz-Titel" "title prompt after Ctrl+Alt+N"
e2e_notes 2 >/dev/null
ini_expect Notiz2 NotizTitel '"Mit N  "'
drv_ok keys ctrl+alt+k >/dev/null
e2e_drain
e2e_expect_no_window '#32770' - "a title prompt after Ctrl+Alt+K"
e2e_expect_windows "$NOTE_CLASS" - 2 "notes after Ctrl+Alt+K"
ini_expect_no_section Notiz3 "a note made by Ctrl+Alt+K"

e2e_log "a second start in the same directory"
e2e_sync
# Every file, the copies in "Sicherung" included.
all_files() { find "$E2E_DIR" -type f -exec md5sum {} + | sort; }
copy_done() { [ -n "$(ls "$E2E_DIR/Sicherung")" ] && [ -z "$(find "$E2E_DIR/Sicherung" -name '*.unfertig')" ]; }
e2e_wait_for "the copy of the start" copy_done
before=$(all_files)
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
e2e_expect_eq "$(all_files)" "$before" "files after the second start"

e2e_log "a copy in another directory runs side by side"
other_dir=$E2E_WORK/Anderswo
mkdir -p "$other_dir"
cp "$TAVELIN_EXE" "$other_dir/Tavelin.exe"
printf '[Settings]\r\nNotizanzahl=0\r\nfirstrun=1\r\nstartscreen=0\r\n' >"$other_dir/Tavelin.ini"
(cd "$other_dir" && exec env -u LC_ALL "$WINE" "$other_dir/Tavelin.exe" </dev/null >>"$E2E_WORK/other.log" 2>&1) &
other=$!
other_drv() { E2E_EXE="$other_dir/Tavelin.exe" drv "$@"; }
stop_other() {
    other_drv kill >/dev/null 2>&1 || true
    wait "$other" 2>/dev/null || true
}
e2e_at_exit stop_other
# Its tray icon shows that it got past the check for a running copy.
other_drv tray dblclick >/dev/null || e2e_fail "the copy in another directory did not come up"
other_drv answer-input "Woanders" >/dev/null || e2e_fail "the other copy asked for no title"
e2e_expect_eq "$(ini_get Notiz1 NotizTitel "$other_dir/Tavelin.ini")" '"Woanders  "' \
    "title in the other directory"
e2e_expect_eq "$(drv_ok pids | wc -l)" 1 "copies of this directory running"
e2e_notes 2 >/dev/null
other_drv tray rclick >/dev/null || e2e_fail "the other copy has no tray icon"
other_drv menu "Tavelin beenden" >/dev/null || e2e_fail "the other copy has no exit item"
other_ended() { ! kill -0 "$other" 2>/dev/null; }
e2e_wait_for "the other copy to end" other_ended
code=0
wait "$other" || code=$?
e2e_expect_eq "$code" 0 "exit code of the other copy"
e2e_notes 2 >/dev/null
ini_expect Notiz2 NotizTitel '"Mit N  "'

e2e_exit
