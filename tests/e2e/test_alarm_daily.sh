#!/usr/bin/env bash
# A daily alarm armed through the file rings; "OK" without a repeat
# reminder arms it for the same time on the next day, in the file at once.
. "$(dirname "$0")/lib.sh"

moment=$(e2e_alarm_moment)
e2e_write_ini <<INI
[Settings]
Notizanzahl=1
firstrun=1
startscreen=0

[Notiz1]
active=1
NotizTitel="Tabletten"
PixelsPerInch=96
NormPos=100,100,370,340
Alarmwiederholung=täglich
$(e2e_alarm_keys "$moment")
INI
e2e_write_note_text Notiz1 "die blaue"

e2e_start
note=$(e2e_note_with_text "die blaue")
reminder=$(e2e_wait_ring "Tabletten  " "$moment")
drv_ok post "$reminder" 0x111 1 0 >/dev/null # "OK"
drv_ok wait-gone "$reminder" >/dev/null
e2e_sync "$note"

next=$((moment + 86400))
ini_expect Notiz1 RxClock1_AlarmEnabled true
ini_expect Notiz1 RxClock1_AlarmHour "$(date -d "@$next" '+%-H')"
ini_expect Notiz1 RxClock1_AlarmMinute "$(date -d "@$next" '+%-M')"
e2e_expect_eq "$(ini_get Notiz1 Alarmdatum | awk -F. '{ printf "%d.%d.%d\n", $1, $2, $3 }')" \
    "$(date -d "@$next" '+%-d.%-m.%Y')" "Alarmdatum"
e2e_expect_eq "$(ini_get Notiz1 Alarmwiederholung)" "täglich $(date -d "@$moment" '+%Y-%m-%d %H:%M:%S')" \
    "the series with its start"
e2e_exit
