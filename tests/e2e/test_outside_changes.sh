#!/usr/bin/env bash
# Files changed by someone else while the program runs: a note without edits
# shows its file's new text; one with edits asks, and when the user keeps
# theirs the other text is kept as a conflict file. A key another program
# added to the settings file survives the program's next write.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "eins" 'NotizTitel="Einkauf  "'

e2e_start
note=$(e2e_note_with_text "eins")

e2e_log "changed outside, no edits: the note shows the new text"
e2e_write_note_text Notiz1 "zwei"
e2e_note_with_text "zwei" >/dev/null

e2e_log "a key added outside stays when the program writes"
printf 'Fremd=von woanders\r\n' >>"$E2E_INI"
drv_ok move "$note" 220 140 280 250 >/dev/null
placed() { [ "$(ini_get Notiz1 NormPos)" = "220,140,500,390" ]; }
e2e_wait_for "the new place in the file" placed
ini_expect Notiz1 Fremd "von woanders"

e2e_log "changed outside while edited: the user keeps their own"
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu "Notiz bearbeiten" >/dev/null
drv_ok type-into "$note" "mein " >/dev/null
e2e_write_note_text Notiz1 "drei"
box=$(drv_ok answer-msgbox no)
e2e_expect_line "$box" "caption: Notiz „Einkauf“" "the question's caption"
case "$box" in
*"Die Notiz wurde außerhalb geändert. Neu laden und eigene Änderungen verwerfen, oder eigene Fassung behalten?"*) ;;
*) e2e_fail "not the question: $box" ;;
esac
conflict="$E2E_DIR/Notiz1 (Konflikt $(date +%Y-%m-%d)).tvn"
info=$(drv_ok answer-msgbox ok)
case "$info" in *"Konflikt"*) ;; *) e2e_fail "not told where the other text went: $info" ;; esac
grep -q "drei" "$conflict" || e2e_fail "the conflict file lacks the other text"
drv_ok text "$memo" | grep -q "mein" || e2e_fail "the note lost its own edits"
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu "Textaktionen/Text speichern" >/dev/null
e2e_wait_for "the own text saved" grep -q "mein" "$E2E_DIR/Notiz1.tvn"
e2e_exit
