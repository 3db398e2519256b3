#!/usr/bin/env bash
# "OK" on the reminder without "erneute Erinnerung" leaves the note without
# an alarm, and so it stays after a restart: no reminder, no overdue alarm.
. "$(dirname "$0")/lib.sh"

e2e_write_ini <<'INI'
[Settings]
Notizanzahl=1
firstrun=1
startscreen=0

[Notiz1]
active=1
NotizTitel="Einkauf"
INI
e2e_write_note_text Notiz1 "Brot holen"

e2e_start
note=$(e2e_note_with_text "Brot holen")

e2e_log "the editor through the menu, set 20 seconds ahead"
e2e_note_menu "$note"
drv_ok menu "Notiz-Eigenschaften/Alarm für diese Notiz" >/dev/null
dialog=$(drv_ok wait-window '#32770' Alarm-Dialog)
target=$(date -d '+20 sec' '+%s')
day=$(date -d "@$target" '+%Y-%m-%d')
drv_ok set-datetime "$(drv_ok child "$dialog" datetime 0)" "$day" 12:00:00 >/dev/null
drv_ok set-datetime "$(drv_ok child "$dialog" datetime 1)" "$day" "$(date -d "@$target" '+%H:%M:%S')" >/dev/null
drv_ok answer-dialog Alarm-Dialog ok >/dev/null

reminder=$(drv_ok wait-window AlarmReminder "Einkauf  " 240000)
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
drv find AlarmReminder - >/dev/null && e2e_fail "a reminder came after the restart"
drv find OverdueAlarm - >/dev/null && e2e_fail "an overdue alarm came after the restart"
e2e_note_menu "$note"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz" "alarm unchecked after the restart"
drv_ok menu-close >/dev/null
e2e_exit
ini_expect Notiz1 RxClock1_AlarmEnabled False
