#!/usr/bin/env bash
# DLLs planted beside the program under the names of system DLLs are never
# loaded: not at start, not by the print, font and object dialogs, not by
# the alarm and its sound. Each of them would leave a file when loaded. The
# program works as ever. (A planted shcore.dll is left out: 32-bit Wine
# takes it for its own shlwapi before any code of the program runs.)
. "$(dirname "$0")/lib.sh"

planted="msftedit.dll riched20.dll oledlg.dll winspool.drv version.dll winmm.dll"
moment=$(e2e_alarm_moment)
e2e_write_ini <<INI
[Settings]
Notizanzahl=1
firstrun=1
startscreen=0

[Notiz1]
active=1
NotizTitel="Zahnarzt"
PixelsPerInch=96
NormPos=100,100,370,340
$(e2e_alarm_keys "$moment")
INI
e2e_write_note_text Notiz1 "Termin um drei"
cp "$SRC_DIR/res/alarm.wav" "$E2E_DIR/"
for dll in $planted; do cp "$MARKER_DLL" "$E2E_DIR/$dll"; done
# The marker is named as the program asked for the DLL: "Msftedit.dll.loaded".
none_loaded() {
    local loaded
    loaded=$(find "$E2E_DIR" -maxdepth 1 -iname '*.loaded' -printf '%f ')
    [ -z "$loaded" ] || e2e_fail "DLLs beside the program were loaded ($1): $loaded"
}
# A system dialog comes up; Cancel closes it.
cancel_dialog() {
    local dialog
    dialog=$(drv_ok wait-window '#32770' -)
    e2e_screenshot "$1"
    drv_ok post "$dialog" 0x111 2 0 >/dev/null # IDCANCEL
    drv_ok wait-gone "$dialog" >/dev/null
}

e2e_start
note=$(e2e_note_with_text "Termin um drei")
none_loaded "at start"
memo=$(drv_ok child "$note" richedit)

e2e_log "print dialog"
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+d >/dev/null
cancel_dialog print
none_loaded "print dialog"

e2e_log "font dialog and object dialog in edit mode"
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+b >/dev/null
drv_ok keys ctrl+f >/dev/null
cancel_dialog font
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+o >/dev/null
cancel_dialog object
none_loaded "font and object dialogs"

e2e_log "the alarm rings"
reminder=$(e2e_wait_ring "Zahnarzt  " "$moment")
e2e_expect_eq "$(drv_ok text "$reminder")" "Termin um drei" "text in the reminder"
drv_ok post "$reminder" 0x111 1 0 >/dev/null # "OK"
drv_ok wait-gone "$reminder" >/dev/null
none_loaded "alarm"
e2e_exit
none_loaded "exit"
