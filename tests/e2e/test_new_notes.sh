#!/usr/bin/env bash
# New notes from everywhere a user makes them: the global hot key, a double
# click on the tray icon, the tray menu and a note's own menu. Each takes the
# lowest free number, asks for its title and raises "Notizanzahl". A settings
# file that says notes have existed ("firstrun" = 1) makes no first note.
. "$(dirname "$0")/lib.sh"

e2e_write_ini <<'INI'
[Settings]
Notizanzahl=0
firstrun=1
INI

e2e_start
splash=$(drv_ok wait-window "$TRAY_CLASS" "Tavelin 2000")
drv_ok wait-gone "$splash" >/dev/null
# The restore, which would make the first note, ran before the splash went.
e2e_sync "$splash"
e2e_expect_no_window "$NOTE_CLASS" - "a note although firstrun is 1"
e2e_expect_no_window '#32770' - "a box although firstrun is 1"

e2e_log "the tray menu offers what it should, nothing greyed, the network item left out"
drv_ok tray rclick >/dev/null
menu=$(drv_ok menu-show)
e2e_screenshot tray-menu
drv_ok menu-close >/dev/null
e2e_expect_eq "$(printf '%s\n' "$menu" | tr '\n' '|')" \
    "neue Notiz erstellen|Alarme ...|Grundeinstellungen...|unsichtbare Notizen...|Notizen durchsuchen ...|Alle Notizen holen|Info über das Programm...|Sicherung wiederherstellen ...|Tavelin beenden|" \
    "tray menu items"

e2e_log "Ctrl+Alt+K makes note 1"
drv_ok keys ctrl+alt+k >/dev/null
e2e_one_note >/dev/null
prompt=$(drv_ok answer-input "Erste")
e2e_expect_line "$prompt" "caption: Notiz-Titel" "title prompt after the hot key"
ini_expect Notiz1 active 1
ini_expect Notiz1 NotizTitel '"Erste  "'
ini_expect Settings Notizanzahl 1

e2e_log "a double click on the tray icon makes note 2"
drv_ok tray dblclick >/dev/null
drv_ok answer-input "Zweite" >/dev/null
e2e_notes 2 >/dev/null
ini_expect Notiz2 active 1
ini_expect Notiz2 NotizTitel '"Zweite  "'
ini_expect Settings Notizanzahl 2

e2e_log "the tray menu makes note 3"
drv_ok tray rclick >/dev/null
drv_ok menu "neue Notiz erstellen" >/dev/null
drv_ok answer-input "Dritte" >/dev/null
e2e_notes 3 >/dev/null
ini_expect Notiz3 NotizTitel '"Dritte  "'
ini_expect Settings Notizanzahl 3

e2e_log "a note's own menu makes note 4"
# New notes start in edit mode; saving brings the view menu with the item.
note=$(drv_ok find "$NOTE_CLASS" - | sed -n 1p)
memo=$(drv_ok child "$note" richedit)
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+s >/dev/null
saved_one() { compgen -G "$E2E_DIR/Notiz*.tvn" >/dev/null; }
e2e_wait_for "a saved note text" saved_one
drv_ok click "$memo" 40 30 right >/dev/null
drv_ok menu "neue Notiz erstellen" >/dev/null
drv_ok answer-input "Vierte" >/dev/null
e2e_notes 4 >/dev/null
ini_expect Notiz4 NotizTitel '"Vierte  "'
ini_expect Settings Notizanzahl 4
e2e_screenshot four-notes

e2e_exit
for n in 1 2 3 4; do ini_expect "Notiz$n" active 1; done
ini_expect Settings firstrun 1
