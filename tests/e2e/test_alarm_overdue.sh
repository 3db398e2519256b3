#!/usr/bin/env bash
# An alarm whose moment passed while the program was not running is shown
# once, at start, in "Alarm überfallig", and is then off: a restart shows
# nothing.
. "$(dirname "$0")/lib.sh"

past=$(date -d '-3 min' '+%s')
e2e_write_ini <<INI
[Settings]
Notizanzahl=2
firstrun=1
startscreen=0

[Notiz1]
active=1
NotizTitel="Geburtstag"
Alarmdatum=$(date -d "@$past" '+%d.%m.%Y')
RxClock1_AlarmEnabled=True
RxClock1_AlarmHour=$(date -d "@$past" '+%-H')
RxClock1_AlarmMinute=$(date -d "@$past" '+%-M')
RxClock1_AlarmSecond=0

[Notiz2]
active=1
NotizTitel="Später"
Alarmdatum=$(date -d '+1 day' '+%d.%m.%Y')
RxClock1_AlarmEnabled=True
RxClock1_AlarmHour=9
RxClock1_AlarmMinute=0
INI
e2e_write_note_text Notiz1 "Anna anrufen"
e2e_write_note_text Notiz2 "noch nicht"

e2e_start
e2e_note_with_text "noch nicht" >/dev/null
overdue=$(drv_ok wait-window OverdueAlarm "Alarm überfallig")
e2e_expect_eq "$(drv_ok text "$overdue")" "Anna anrufen" "text in the overdue window"
e2e_screenshot overdue
[ "$(drv find OverdueAlarm - | wc -l)" -eq 1 ] || e2e_fail "more than the one overdue alarm"
off() { [ "$(ini_get Notiz1 RxClock1_AlarmEnabled)" = false ]; }
e2e_wait_for "[Notiz1] switched off" off
ini_expect Notiz2 RxClock1_AlarmEnabled True

e2e_log "O.K. closes it"
drv_ok post "$overdue" 0x111 1 0 >/dev/null
drv_ok wait-gone "$overdue" >/dev/null
e2e_exit
ini_expect Notiz1 RxClock1_AlarmEnabled False
ini_expect Notiz2 RxClock1_AlarmEnabled True

e2e_log "after a restart: not again"
e2e_start
note=$(e2e_note_with_text "Anna anrufen")
e2e_note_with_text "noch nicht" >/dev/null
e2e_sync "$note"
drv find OverdueAlarm - >/dev/null && e2e_fail "the overdue alarm came again"
e2e_exit
