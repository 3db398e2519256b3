#!/usr/bin/env bash
# Three notes armed for the same moment ring inside its minute: the shared
# reminder shows them one turn after another, each with its note's title and
# text and how many turns still wait. Each answer is in the settings file at
# once: "OK" with "5 Minuten" ticked arms the note again five minutes on;
# plain "OK" arms a daily alarm for the same time on the next day and leaves
# any other note without an alarm, which stays so after a restart. The
# editor writes the alarm it is given. DLLs planted beside the program under
# system names are never loaded by the alarms and their sound.
. "$(dirname "$0")/lib.sh"

moment=$(e2e_alarm_moment)
alarm=$(e2e_alarm_keys "$moment")
e2e_write_notes \
    "Termin um drei" 'NotizTitel="Zahnarzt"' PixelsPerInch=96 NormPos=20,100,290,340 "$alarm" -- \
    "die blaue" 'NotizTitel="Tabletten"' PixelsPerInch=96 NormPos=360,100,630,340 \
    Alarmwiederholung=täglich "$alarm" -- \
    "Brot holen" 'NotizTitel="Einkauf"' PixelsPerInch=96 NormPos=700,100,970,340 "$alarm"
cp "$SRC_DIR/res/alarm.wav" "$E2E_DIR/"
e2e_plant_dlls

# A German date as day.month.year without leading zeros, whichever of the
# German short date forms (d.M.yyyy or dd.MM.yyyy) the system writes.
plain_date() { awk -F. '{ printf "%d.%d.%d\n", $1, $2, $3 }'; }
date_of() { date -d "@$1" '+%d.%m.%Y' | plain_date; }

e2e_start
dentist=$(e2e_note_with_text "Termin um drei")
pills=$(e2e_note_with_text "die blaue")
shopping=$(e2e_note_with_text "Brot holen")
e2e_expect_no_dll_loaded "at start"

e2e_log "they ring"
reminder=$(e2e_wait_ring - "$moment")
caption() { drv_ok list | awk -F'\t' -v h="$reminder" '$1 == h { print $3 }'; }
waiting() { e2e_children "$reminder" | awk -F'\t' '$3 == 203 { print $6 }'; }
waiting_is() { [ "$(waiting)" = "$1" ]; }
e2e_wait_for "all three turns" waiting_is "noch 2 weitere Erinnerungen"
[ "$(date '+%s')" -lt $((moment + 60)) ] || e2e_fail "not all alarms rang inside their minute"
e2e_screenshot reminder
# Armed until the answer: a program ended now shows them as overdue next time.
for n in 1 2 3; do ini_expect "Notiz$n" RxClock1_AlarmEnabled True; done

other_turn() { [ "$(caption)" != "$title" ]; }
# The turns come in the order the notes' clocks ring; each is answered by
# whose it is.
for left in "noch 1 weitere Erinnerung" "" gone; do
    title=$(caption)
    case $title in
        "Zahnarzt  ") text="Termin um drei" ;;
        "Tabletten  ") text="die blaue" ;;
        "Einkauf  ") text="Brot holen" ;;
        *) e2e_fail "a turn with the caption \"$title\"" ;;
    esac
    e2e_expect_eq "$(drv_ok text "$reminder")" "$text" "text in the reminder \"$title\""
    if [ "$title" = "Zahnarzt  " ]; then
        e2e_log "OK with \"5 Minuten\""
        check=$(e2e_children "$reminder" | awk -F'\t' '$6 ~ /erneute Erinnerung/ { print $1 }')
        [ -n "$check" ] || e2e_fail "no repeat box on the reminder"
        drv_ok send "$check" 0xF1 1 0 >/dev/null # BM_SETCHECK
        before=$(date '+%s')
    else
        e2e_log "OK on \"$title\""
    fi
    drv_ok post "$reminder" 0x111 1 0 >/dev/null # "OK"
    if [ "$left" = gone ]; then
        drv_ok wait-gone "$reminder" >/dev/null
    else
        e2e_wait_for "the next turn" other_turn
        # Once the turn is set up, "OK" is greyed until it takes answers.
        e2e_sync "$reminder"
        drv_ok wait-enabled "$reminder" 1 >/dev/null
        e2e_expect_eq "$(waiting)" "$left" "turns still waiting"
    fi
    [ "$title" != "Zahnarzt  " ] || after=$(date '+%s')
done
for note in "$dentist" "$pills" "$shopping"; do e2e_sync "$note"; done

e2e_log "\"5 Minuten\": armed five minutes on"
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
e2e_note_menu "$dentist"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz [x]" "alarm checked in the menu"
drv_ok menu-close >/dev/null

e2e_log "daily: the same time tomorrow"
next=$((moment + 86400))
ini_expect Notiz2 RxClock1_AlarmEnabled true
ini_expect Notiz2 RxClock1_AlarmHour "$(date -d "@$next" '+%-H')"
ini_expect Notiz2 RxClock1_AlarmMinute "$(date -d "@$next" '+%-M')"
e2e_expect_eq "$(ini_get Notiz2 Alarmdatum | plain_date)" "$(date_of "$next")" "Alarmdatum"
e2e_expect_eq "$(ini_get Notiz2 Alarmwiederholung)" "täglich $(date -d "@$moment" '+%Y-%m-%d %H:%M:%S')" \
    "the series with its start"

e2e_log "plain OK: no alarm"
ini_expect Notiz3 RxClock1_AlarmEnabled false
e2e_note_menu "$shopping"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz" "alarm unchecked in the menu"
drv_ok menu-close >/dev/null

e2e_log "the editor through Ctrl+E: tomorrow at 9:30:15"
drv_ok click "$(drv_ok child "$dentist" richedit)" 40 30 >/dev/null
drv_ok keys ctrl+e >/dev/null
dialog=$(drv_ok wait-window '#32770' Alarm-Dialog)
tomorrow=$(date -d "$(date '+%Y-%m-%d') 12:00 +1 day" '+%s')
day=$(date -d "@$tomorrow" '+%Y-%m-%d')
drv_ok set-datetime "$(drv_ok child "$dialog" datetime 0)" "$day" 12:00:00 >/dev/null
drv_ok set-datetime "$(drv_ok child "$dialog" datetime 1)" "$day" 09:30:15 >/dev/null
e2e_screenshot editor
drv_ok answer-dialog Alarm-Dialog ok >/dev/null
e2e_sync "$dentist"
ini_expect Notiz1 RxClock1_AlarmEnabled true
ini_expect Notiz1 RxClock1_AlarmHour 9
ini_expect Notiz1 RxClock1_AlarmMinute 30
ini_expect Notiz1 RxClock1_AlarmSecond 15
e2e_expect_eq "$(ini_get Notiz1 Alarmdatum | plain_date)" "$(date_of "$tomorrow")" "Alarmdatum"

e2e_exit
ini_expect Notiz1 RxClock1_AlarmEnabled True
ini_expect Notiz3 RxClock1_AlarmEnabled False
e2e_expect_no_dll_loaded "the alarms"

e2e_log "after a restart: still off"
e2e_start
shopping=$(e2e_note_with_text "Brot holen")
e2e_sync "$shopping"
e2e_expect_no_window AlarmReminder - "a reminder after the restart"
e2e_expect_no_window OverdueAlarm - "an overdue alarm after the restart"
e2e_note_menu "$shopping"
e2e_expect_line "$(drv_ok menu-show)" "  Alarm für diese Notiz" "alarm unchecked after the restart"
drv_ok menu-close >/dev/null
e2e_exit
ini_expect Notiz3 RxClock1_AlarmEnabled False
e2e_expect_no_dll_loaded "exit"
