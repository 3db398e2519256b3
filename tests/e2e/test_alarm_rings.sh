#!/usr/bin/env bash
# An armed alarm rings inside its minute: the shared reminder comes up with
# the note's title and text. "OK" with "5 Minuten" ticked arms the note again
# five minutes on, in the settings file at once. The editor writes the alarm
# it is given.
. "$(dirname "$0")/lib.sh"

moment=$(e2e_alarm_moment)
e2e_write_ini <<INI
[Settings]
Notizanzahl=1
firstrun=1
startscreen=0

[Notiz1]
active=1
NotizTitel="Zahnarzt"
PixelsPerInch=96
NormPos=100,100,370,340
$(e2e_alarm_keys "$moment")
INI
e2e_write_note_text Notiz1 "Termin um drei"
cp "$SRC_DIR/res/alarm.wav" "$E2E_DIR/"

# A German date as day.month.year without leading zeros, whichever of the
# German short date forms (d.M.yyyy or dd.MM.yyyy) the system writes.
plain_date() { awk -F. '{ printf "%d.%d.%d\n", $1, $2, $3 }'; }
date_of() { date -d "@$1" '+%d.%m.%Y' | plain_date; }

e2e_start
note=$(e2e_note_with_text "Termin um drei")
memo=$(drv_ok child "$note" richedit)

e2e_log "it rings"
reminder=$(e2e_wait_ring "Zahnarzt  " "$moment")
e2e_expect_eq "$(drv_ok text "$reminder")" "Termin um drei" "text in the reminder"
e2e_screenshot reminder
# Armed until the answer: a program ended now shows it as overdue next time.
ini_expect Notiz1 RxClock1_AlarmEnabled True

e2e_log "OK with \"5 Minuten\""
check=$(e2e_children "$reminder" | awk -F'\t' '$6 ~ /erneute Erinnerung/ { print $1 }')
[ -n "$check" ] || e2e_fail "no repeat box on the reminder"
drv_ok send "$check" 0xF1 1 0 >/dev/null # BM_SETCHECK
before=$(date '+%s')
drv_ok post "$reminder" 0x111 1 0 >/dev/null # "OK"
drv_ok wait-gone "$reminder" >/dev/null
after=$(date '+%s')
e2e_sync "$note"
# Five minutes from the alarm's minute, or from the answer's if that came later.
expected_for() {
    local base=$(($1 / 60 * 60))
    [ "$base" -ge "$moment" ] || base=$moment
    echo "$(date -d "@$((base + 300))" '+%-H %-M') $(date_of $((base + 300)))"
}
armed_for() {
    [ "$(ini_get Notiz1 RxClock1_AlarmEnabled)" = true ] || return 1
    local got
    got="$(ini_get Notiz1 RxClock1_AlarmHour) $(ini_get Notiz1 RxClock1_AlarmMinute) $(ini_get Notiz1 Alarmdatum | plain_date)"
    [ "$got" = "$(expected_for "$before")" ] || [ "$got" = "$(expected_for "$after")" ]
}
armed_for || e2e_fail "not armed five minutes on: $(ini_get Notiz1 RxClock1_AlarmHour):$(ini_get Notiz1 RxClock1_AlarmMinute) $(ini_get Notiz1 Alarmdatum)"
e2e_note_menu "$note"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz [x]" "alarm checked in the menu"
drv_ok menu-close >/dev/null

e2e_log "the editor through Ctrl+E: tomorrow at 9:30:15"
drv_ok click "$memo" 40 30 >/dev/null
drv_ok keys ctrl+e >/dev/null
dialog=$(drv_ok wait-window '#32770' Alarm-Dialog)
tomorrow=$(date -d "$(date '+%Y-%m-%d') 12:00 +1 day" '+%s')
day=$(date -d "@$tomorrow" '+%Y-%m-%d')
drv_ok set-datetime "$(drv_ok child "$dialog" datetime 0)" "$day" 12:00:00 >/dev/null
drv_ok set-datetime "$(drv_ok child "$dialog" datetime 1)" "$day" 09:30:15 >/dev/null
e2e_screenshot editor
drv_ok answer-dialog Alarm-Dialog ok >/dev/null
e2e_sync "$note"
ini_expect Notiz1 RxClock1_AlarmEnabled true
ini_expect Notiz1 RxClock1_AlarmHour 9
ini_expect Notiz1 RxClock1_AlarmMinute 30
ini_expect Notiz1 RxClock1_AlarmSecond 15
e2e_expect_eq "$(ini_get Notiz1 Alarmdatum | plain_date)" "$(date_of "$tomorrow")" "Alarmdatum"

e2e_exit
armed_for_after_exit() { [ "$(ini_get Notiz1 RxClock1_AlarmEnabled)" = True ]; }
armed_for_after_exit || e2e_fail "the exit did not keep the alarm armed"
