#!/usr/bin/env bash
# The title line: dragging it moves the note (dragging in the text does not),
# and a right click on it opens the note's view menu, in either mode.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "Titelzeile" PixelsPerInch=96 NormPos=200,150,500,450

e2e_start
note=$(e2e_note_with_text "Titelzeile")
e2e_expect_eq "$(e2e_rect "$note")" "200 150 500 450" "stored rectangle"

e2e_log "dragging the title line moves the note"
drv_ok drag "$note" 150 8 100 60 >/dev/null
moved() { [ "$(e2e_rect "$note")" = "300 210 600 510" ]; }
e2e_wait_for "the note moved by 100, 60" moved

e2e_log "dragging in the text does not"
memo=$(drv_ok child "$note" richedit)
drv_ok drag "$memo" 60 60 -80 -40 >/dev/null
# Input is handled in order: once the menu of a later right click is up, the
# drag has been handled.
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu-show >/dev/null
drv_ok menu-close >/dev/null
e2e_expect_eq "$(e2e_rect "$note")" "300 210 600 510" "rectangle after a drag in the text"

e2e_log "a right click on the title line opens the view menu"
drv_ok click "$note" 150 8 right >/dev/null
menu=$(drv menu-show) || e2e_fail "a right click on the title line opened no menu"
drv_ok menu-close >/dev/null
e2e_expect_line "$menu" "Notiz bearbeiten" "view menu from the title line"
e2e_expect_line "$menu" "Notiz-Eigenschaften >" "view menu from the title line"

e2e_log "also in edit mode"
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+b >/dev/null
drv_ok click "$note" 150 8 right >/dev/null
menu=$(drv menu-show) || e2e_fail "a right click on the title line opened no menu in edit mode"
e2e_expect_line "$menu" "Notiz-Eigenschaften >" "view menu from the title line in edit mode"
drv_ok menu "Notiz-Eigenschaften/Notiz-Titel" >/dev/null
drv_ok answer-input "Per Titelzeile" >/dev/null
ini_expect Notiz1 NotizTitel '"Per Titelzeile  "'

e2e_exit
ini_expect Notiz1 NormPos "300,210,600,510"
