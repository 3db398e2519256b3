#!/usr/bin/env bash
# The start copies the notes into "Sicherung"; a note edited afterwards
# comes back with its old text when that copy is restored from the tray
# menu, without a restart, and the state before the restore is kept as a
# copy of its own.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "alter Text" 'NotizTitel="Einkauf  "'
backups() { find "$E2E_DIR/Sicherung" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' 2>/dev/null | sort; }
backup_count_is() { [ "$(backups | grep -cE '^[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{6}$')" -eq "$1" ]; }

e2e_start
note=$(e2e_note_with_text "alter Text")
e2e_wait_for "the copy made at the start" backup_count_is 1
first=$(backups)
cmp -s "$E2E_DIR/Notiz1.tvn" "$E2E_DIR/Sicherung/$first/Notiz1.tvn" || e2e_fail "the copy's note text differs"

e2e_log "edit and save the note"
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu "Notiz bearbeiten" >/dev/null
drv_ok type-into "$note" "neu " >/dev/null
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu "Textaktionen/Text speichern" >/dev/null
e2e_wait_for "the new text on disk" grep -q "neu" "$E2E_DIR/Notiz1.tvn"

e2e_log "restore the copy of the start"
drv_ok tray rclick >/dev/null
drv_ok menu "Sicherung wiederherstellen ..." >/dev/null
dialog=$(drv_ok wait-window BackupDialog "Sicherung wiederherstellen")
list=$(drv_ok child "$dialog" listbox)
e2e_expect_line "$(drv_ok items "$list" | sed 's/^.*–  //')" "1 Notiz: Einkauf" "the copy's line"
button() { e2e_children "$dialog" | awk -F'\t' -v t="$1" '{ c = $6; gsub("&", "", c) } c == t { print $1 }'; }
drv_ok click "$(button Wiederherstellen)" 20 10 >/dev/null
box=$(drv_ok answer-msgbox yes)
e2e_expect_line "$box" "caption: Sicherung wiederherstellen" "the question first"
drv_ok wait-gone "$note" >/dev/null
e2e_note_with_text "alter Text" >/dev/null
grep -q "neu" "$E2E_DIR/Notiz1.tvn" && e2e_fail "the file still holds the new text"
e2e_wait_for "a copy of the state before" backup_count_is 2
grep -q "neu" "$E2E_DIR/Sicherung/$(backups | tail -1)/Notiz1.tvn" ||
    e2e_fail "the copy of the state before lacks the new text"
e2e_exit
