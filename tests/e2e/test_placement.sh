#!/usr/bin/env bash
# A note moved and resized comes back at the same rectangle after an exit and
# a start; the exit writes the placement keys in their order, and the size
# limits of a note hold while it is dragged.
. "$(dirname "$0")/lib.sh"

placement_keys="Flags ShowCmd PixelsPerInch MinMaxPos(1024x768) MinMaxPos NormPos(1024x768) NormPos Visible RxClock1_AlarmEnabled RxClock1_AlarmHour RxClock1_AlarmMinute RxClock1_AlarmSecond memo1_Color"

# The placement keys of a section in the order the file has them.
placement_order() {
    local key
    ini_keys "$1" | while read -r key; do
        case " $placement_keys " in *" $key "*) printf '%s ' "$key" ;; esac
    done
}

check_placement_keys() {
    e2e_expect_eq "$(placement_order Notiz1)" "$placement_keys " "placement keys in [Notiz1] and their order"
    ini_expect Notiz1 ShowCmd 1
    ini_expect Notiz1 PixelsPerInch 96
    ini_expect Notiz1 Visible 1
    ini_expect Notiz1 RxClock1_AlarmEnabled False
    ini_expect Notiz1 memo1_Color 65535
    e2e_expect_eq "$(ini_get Notiz1 'NormPos(1024x768)')" "$(ini_get Notiz1 NormPos)" \
        "NormPos with and without the screen size"
}

e2e_write_notes ""

e2e_start
note=$(e2e_one_note)
e2e_log "moved and resized as a user drags it"
e2e_expect_eq "$(drv_ok move "$note" 210 130 333 222)" "210 130 543 352" "rectangle after the move"
e2e_screenshot moved

e2e_exit
ini_expect Notiz1 NormPos "210,130,543,352"
check_placement_keys

e2e_start
note=$(e2e_one_note)
e2e_expect_eq "$(e2e_rect "$note")" "210 130 543 352" "rectangle after the restart"

e2e_log "size limits: 20 x 21 at least, 768 x 1024 at most"
read -r l t r b <<<"$(drv_ok move "$note" 100 50 5 5)"
e2e_expect_eq "$((r - l))x$((b - t))" "20x21" "smallest note"
read -r l t r b <<<"$(drv_ok move "$note" 0 0 900 1200)"
e2e_expect_eq "$((r - l))x$((b - t))" "768x1024" "largest note"
drv_ok move "$note" 300 200 280 250 >/dev/null

e2e_exit
ini_expect Notiz1 NormPos "300,200,580,450"
check_placement_keys
