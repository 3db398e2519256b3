#!/usr/bin/env bash
# DLLs planted beside the program under the names of system DLLs are never
# loaded: not at start, not by the print, font and object dialogs (nor by
# the alarm and its sound: test_alarm_rings.sh). Each of them would leave a
# file when loaded. The program works as ever.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "Termin um drei" PixelsPerInch=96 NormPos=100,100,370,340
e2e_plant_dlls

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
e2e_expect_no_dll_loaded "at start"
memo=$(drv_ok child "$note" richedit)

e2e_log "print dialog"
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+d >/dev/null
cancel_dialog print
e2e_expect_no_dll_loaded "print dialog"

e2e_log "font dialog and object dialog in edit mode"
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+b >/dev/null
drv_ok keys ctrl+f >/dev/null
cancel_dialog font
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+o >/dev/null
cancel_dialog object
e2e_expect_no_dll_loaded "font and object dialogs"

e2e_exit
e2e_expect_no_dll_loaded "exit"
