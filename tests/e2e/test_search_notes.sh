#!/usr/bin/env bash
# Ctrl+F in a note opens "Notizen durchsuchen"; typing lists every note that
# holds the words, with the line around the match.
. "$(dirname "$0")/lib.sh"

e2e_write_notes \
    "Brot und Milch" 'NotizTitel="Einkauf  "' PixelsPerInch=96 NormPos=100,100,370,340 -- \
    "Äpfel ernten" 'NotizTitel="Garten  "' PixelsPerInch=96 NormPos=500,100,770,340

e2e_start
e2e_notes 2 >/dev/null
one=$(e2e_note_with_text "Brot und Milch")
memo=$(drv_ok child "$one" richedit)
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+f >/dev/null
dialog=$(drv_ok wait-window SearchDialog "Notizen durchsuchen")
e2e_screenshot search
drv_ok type-into "$(drv_ok child "$dialog" edit)" "ÄPFEL" >/dev/null
list=$(drv_ok child "$dialog" listbox)
listed() { [ "$(drv_ok items "$list")" = $'Garten\t»Äpfel« ernten' ]; }
e2e_wait_for "the garden note in the list" listed
e2e_screenshot search-results
e2e_exit
