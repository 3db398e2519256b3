#!/usr/bin/env bash
# "OK" on the reminder without "erneute Erinnerung" leaves the note without
# an alarm, and so it stays after a restart: no reminder, no overdue alarm.
. "$(dirname "$0")/lib.sh"

moment=$(e2e_alarm_moment)
e2e_write_ini <<INI
[Settings]
Notizanzahl=1
firstrun=1
startscreen=0

[Notiz1]
active=1
NotizTitel="Einkauf"
$(e2e_alarm_keys "$moment")
INI
e2e_write_note_text Notiz1 "Brot holen"

e2e_start
note=$(e2e_note_with_text "Brot holen")
reminder=$(e2e_wait_ring "Einkauf  " "$moment")
e2e_log "OK without the box"
drv_ok post "$reminder" 0x111 1 0 >/dev/null
drv_ok wait-gone "$reminder" >/dev/null
e2e_sync "$note"
ini_expect Notiz1 RxClock1_AlarmEnabled false
e2e_note_menu "$note"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz" "alarm unchecked in the menu"
drv_ok menu-close >/dev/null
e2e_exit
ini_expect Notiz1 RxClock1_AlarmEnabled False

e2e_log "after a restart: still off"
e2e_start
note=$(e2e_note_with_text "Brot holen")
e2e_sync "$note"
e2e_expect_no_window AlarmReminder - "a reminder after the restart"
e2e_expect_no_window OverdueAlarm - "an overdue alarm after the restart"
e2e_note_menu "$note"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz" "alarm unchecked after the restart"
drv_ok menu-close >/dev/null
e2e_exit
ini_expect Notiz1 RxClock1_AlarmEnabled False
