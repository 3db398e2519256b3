#!/usr/bin/env bash
# One run through the program as a user makes it: fifty notes come back with
# their texts, one is changed and saved, and the exit keeps everything. The
# build users do not get runs this, so that it keeps working.
. "$(dirname "$0")/lib.sh"

{
    printf '[Settings]\nNotizanzahl=50\nfirstrun=1\nstartscreen=0\n'
    for n in $(seq 1 50); do printf '\n[Notiz%d]\nactive=1\nNotizTitel="Nummer %d"\n' "$n" "$n"; done
} | e2e_write_ini
for n in $(seq 1 50); do e2e_write_note_text "Notiz$n" "Text $n"; done

note_text_is() { [ "$(drv text "$1")" = "$2" ]; }
file_holds() { LC_ALL=C grep -q "$2" "$E2E_DIR/$1"; }

e2e_start
drv_ok wait-count "$NOTE_CLASS" - 50 60000 >/dev/null
note=$(e2e_note_with_text "Text 17")
memo=$(drv_ok child "$note" richedit)
# The notes all stand in one place: the click must reach this one. A note
# comes back in view mode; Ctrl+B opens it for editing.
drv_ok focus "$note" >/dev/null
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+b end "text: geändert" ctrl+s >/dev/null
e2e_wait_for "the typed text" note_text_is "$note" "Text 17 geändert"
e2e_wait_for "the saved text" file_holds Notiz17.tvn 'Text 17 ge'

e2e_exit
ini_whole || e2e_fail "the settings file is not whole after the exit"
for n in $(seq 1 50); do
    ini_expect "Notiz$n" active 1
    ini_get "Notiz$n" NormPos >/dev/null || e2e_fail "the exit wrote no placement for Notiz$n"
    file_holds "Notiz$n.tvn" "Text $n" || e2e_fail "Notiz$n.tvn lost its text"
done

e2e_start
e2e_note_with_text "Text 17 geändert" >/dev/null
e2e_exit
