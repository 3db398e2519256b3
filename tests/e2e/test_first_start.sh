#!/usr/bin/env bash
# First start in an empty directory: the splash, then one note that asks for
# its title. The user gives the title, types, saves with Ctrl+S and ends the
# program from the tray menu; the files hold it all, and at the next start
# the note is back with its title and its text.
. "$(dirname "$0")/lib.sh"

note_text_is() { [ "$(drv text "$1")" = "$2" ]; }

e2e_start
splash=$(drv_ok wait-window "$TRAY_CLASS" "Tavelin 2000")
e2e_screenshot splash

note=$(e2e_one_note)
drv_ok wait-window '#32770' Notiz-Titel >/dev/null
drv_ok wait-gone "$splash" >/dev/null
e2e_screenshot title-prompt
prompt=$(drv_ok answer-input Einkauf)
e2e_expect_line "$prompt" "caption: Notiz-Titel" "title prompt"
e2e_expect_line "$prompt" "text: Geben Sie den neuen Notiz-Titel ein" "title prompt"
e2e_expect_line "$prompt" "value: Tavelin2000 Notiz" "title prompt default"

ini_expect Settings firstrun 1
ini_expect Settings Notizanzahl 1
ini_expect Notiz1 active 1
ini_expect Notiz1 NotizTitel '"Einkauf  "'

e2e_log "typing into the new note, which is in edit mode"
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys "text:Milch, Brot, Käse" >/dev/null
e2e_wait_for "the typed text in the note" note_text_is "$note" "Milch, Brot, Käse"
e2e_screenshot edit-mode

drv_ok keys ctrl+s >/dev/null
e2e_wait_for "Notiz1.tvn" test -s "$E2E_DIR/Notiz1.tvn"
LC_ALL=C grep -q '{\\rtf' "$E2E_DIR/Notiz1.tvn" || e2e_fail "Notiz1.tvn holds no rich text"
LC_ALL=C grep -q 'Milch, Brot, K' "$E2E_DIR/Notiz1.tvn" || e2e_fail "Notiz1.tvn lacks the text"

e2e_log "after saving the note is read-only"
drv_ok keys "text:X" ctrl+t >/dev/null
# The title prompt of Ctrl+T comes after the X, so the X has been handled.
drv_ok wait-window '#32770' Notiz-Titel >/dev/null
note_text_is "$note" "Milch, Brot, Käse" || e2e_fail "typing changed a saved note: $(drv text "$note")"
e2e_screenshot view-mode
prompt=$(drv_ok answer-input --cancel)
e2e_expect_line "$prompt" "value: Einkauf" "title offered again without its margin"
ini_expect Notiz1 NotizTitel '"Einkauf  "'

e2e_exit
for key in Flags ShowCmd PixelsPerInch "NormPos(1024x768)" NormPos Visible memo1_Color; do
    ini_get Notiz1 "$key" >/dev/null || e2e_fail "[Notiz1] $key was not written at the exit"
done
ini_expect Settings Notizanzahl 1
ini_expect Notiz1 active 1
e2e_expect_crlf "$E2E_INI"

e2e_log "second start: the note comes back"
e2e_start
note=$(e2e_one_note)
e2e_wait_for "the saved text back in the note" note_text_is "$note" "Milch, Brot, Käse"
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu "Notiz-Eigenschaften/Notiz-Titel" >/dev/null
prompt=$(drv_ok answer-input --cancel)
e2e_expect_line "$prompt" "value: Einkauf" "restored title"
e2e_screenshot restored

e2e_exit
ini_expect Notiz1 NotizTitel '"Einkauf  "'
ini_expect Settings Notizanzahl 1
ini_expect Settings firstrun 1
[ -s "$E2E_DIR/Notiz1.tvn" ] || e2e_fail "Notiz1.tvn is gone"
