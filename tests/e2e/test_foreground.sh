#!/usr/bin/env bash
# The second hot key (Ctrl+Alt+X) brings the note last active back in front
# of another program; minimising, the system's way, leaves the notes on the
# screen.
. "$(dirname "$0")/lib.sh"

e2e_write_notes \
    "eins" PixelsPerInch=96 NormPos=100,100,370,340 -- \
    "zwei" PixelsPerInch=96 NormPos=500,100,770,340

e2e_start
e2e_notes 2 >/dev/null
note1=$(e2e_note_with_text "eins")
memo1=$(drv_ok child "$note1" richedit)
drv_ok click "$memo1" 40 30 >/dev/null
active() { [ "$(drv_ok foreground | cut -f1)" = "$1" ]; }
e2e_wait_for "note 1 active" active "$note1"

e2e_log "another program comes to the front"
other_dir=$E2E_WORK/Fremd
mkdir -p "$other_dir"
cp "$WINEPREFIX/drive_c/windows/notepad.exe" "$other_dir/Fremd.exe"
(exec env -u LC_ALL "$WINE" "$other_dir/Fremd.exe" </dev/null >/dev/null 2>&1) &
other_pid=$!
other_drv() { E2E_EXE="$other_dir/Fremd.exe" drv "$@"; }
stop_other() {
    other_drv kill >/dev/null 2>&1 || true
    wait "$other_pid" 2>/dev/null || true
}
e2e_at_exit stop_other
other=$(other_drv wait-window - -) || e2e_fail "the other program did not start"
other_drv focus "$other" >/dev/null || e2e_fail "the other program did not come to the front"

e2e_log "Ctrl+Alt+X"
drv_ok keys ctrl+alt+x >/dev/null
e2e_wait_for "note 1 in front again" active "$note1"
stop_other

e2e_log "minimising a note leaves it on the screen"
drv_ok send "$note1" 0x112 0xF020 0 >/dev/null  # WM_SYSCOMMAND, SC_MINIMIZE
style=$(drv_ok info "$note1" | sed -n 's/.*style=\(0x[0-9a-f]*\).*/\1/p')
[ -n "$style" ] || e2e_fail "no window style for the note"
e2e_expect_eq "$((style & 0x20000000))" 0 "WS_MINIMIZE of the note"
e2e_notes 2 >/dev/null

e2e_exit
ini_expect Notiz1 ShowCmd 1
