#!/usr/bin/env bash
# Start with notes 2 and 5 active and note 3 inactive: windows come up for 2
# and 5 with their texts and titles, section and text file of 3 are removed,
# and the next new note takes the lowest free number, 1.
. "$(dirname "$0")/lib.sh"

note_title() {
    local memo prompt
    memo=$(drv_ok child "$1" richedit)
    drv_ok click "$memo" 40 30 right >/dev/null
    drv_ok menu "Notiz-Eigenschaften/Notiz-Titel" >/dev/null
    prompt=$(drv_ok answer-input --cancel)
    printf '%s\n' "$prompt" | sed -n 's/^value: //p'
}

e2e_write_ini <<'INI'
[Settings]
Notizanzahl=5
firstrun=1
startscreen=0

[Notiz2]
active=1
NotizTitel="Zwei  "

[Notiz3]
active=0
NotizTitel="Drei  "

[Notiz5]
active=1
NotizTitel="Fünf"

[Eigenes]
behalten=ja
INI
e2e_write_note_text Notiz2 "zweite Notiz"
e2e_write_note_text Notiz3 "dritte Notiz"
e2e_write_note_text Notiz5 "fünfte Notiz"

e2e_start
e2e_notes 2 >/dev/null
note2=$(e2e_note_with_text "zweite Notiz")
note5=$(e2e_note_with_text "fünfte Notiz")
# Side by side, so that a click reaches the note it is meant for.
drv_ok move "$note2" 100 100 270 240 >/dev/null
drv_ok move "$note5" 500 100 270 240 >/dev/null
e2e_screenshot restored

e2e_wait_for "Notiz3.tvn deleted" test ! -e "$E2E_DIR/Notiz3.tvn"
e2e_wait_for "section Notiz3 erased" ini_lacks_section Notiz3
ini_has_section Eigenes || e2e_fail "a section of someone else's was lost"
ini_expect Eigenes behalten ja
[ -e "$E2E_DIR/Notiz2.tvn" ] && [ -e "$E2E_DIR/Notiz5.tvn" ] || e2e_fail "an active note's file is gone"

e2e_expect_eq "$(note_title "$note2")" "Zwei" "title of note 2 (blanks stripped)"
e2e_expect_eq "$(note_title "$note5")" "Fünf" "title of note 5 (Windows-1252 umlaut)"

e2e_log "the next new note is number 1"
drv_ok tray dblclick >/dev/null
drv_ok answer-input "Eins" >/dev/null
e2e_notes 3 >/dev/null
ini_expect Notiz1 active 1
ini_expect Notiz1 NotizTitel '"Eins  "'
# The counter goes on from the highest note, 5.
ini_expect Settings Notizanzahl 6

e2e_exit
for n in 1 2 5; do ini_expect "Notiz$n" active 1; done
ini_expect_no_section Notiz3 "after the exit"
ini_expect Notiz5 NotizTitel '"Fünf  "'
# The umlaut keeps the file in Windows-1252.
LC_ALL=C grep -q $'F\xfcnf' "$E2E_INI" || e2e_fail "Tavelin.ini is no longer Windows-1252"
