#!/usr/bin/env bash
# An alarm whose moment passed while the program was not running is shown
# once, at start, in "Alarm überfallig", and is then off: a restart shows
# nothing.
. "$(dirname "$0")/lib.sh"

past=$(date -d '-3 min' '+%s')
e2e_write_notes \
    "Anna anrufen" 'NotizTitel="Geburtstag"' "$(e2e_alarm_keys "$past")" -- \
    "noch nicht" 'NotizTitel="Später"' "$(e2e_alarm_keys "$(date -d 'tomorrow 09:00' '+%s')")"

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
e2e_expect_no_window OverdueAlarm - "the overdue alarm again"
e2e_exit
