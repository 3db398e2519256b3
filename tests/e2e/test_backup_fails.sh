#!/usr/bin/env bash
# A copy that cannot be written (here a file named like the copies' folder)
# is told once, in German, and the notes come up all the same.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "bleibt"
printf 'kein Ordner' >"$E2E_DIR/Sicherung"

e2e_start
box=$(drv_ok answer-msgbox ok)
e2e_expect_line "$box" "caption: Tavelin 2000" "the box's caption"
case "$box" in
*"Die Sicherung der Notizen im Ordner „Sicherung“ neben dem Programm konnte nicht geschrieben werden"*) ;;
*) e2e_fail "no word of the failed copy: $box" ;;
esac
e2e_note_with_text "bleibt" >/dev/null
e2e_expect_eq "$(cat "$E2E_DIR/Sicherung")" "kein Ordner" "the file in the way"
e2e_exit
