#!/usr/bin/env bash
# A note's new place reaches the file soon after the move ends, without an
# exit: the program killed then brings the note back where it was put.
. "$(dirname "$0")/lib.sh"

e2e_write_notes "" NormPos=100,100,370,340

e2e_start
note=$(e2e_one_note)
drv_ok move "$note" 240 150 300 260 >/dev/null
written() { [ "$(ini_get Notiz1 NormPos)" = "240,150,540,410" ]; }
e2e_wait_for "the new place in the file" written
e2e_kill
e2e_log "killed after the move"

e2e_start
note=$(e2e_one_note)
e2e_expect_eq "$(e2e_rect "$note")" "240 150 540 410" "rectangle after the kill and a start"
e2e_exit
