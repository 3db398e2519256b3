#!/usr/bin/env bash
# The program killed outright (the Wine process, SIGKILL) at random moments,
# 50 times and more: while 30 notes write their placement at the exit, while
# a note saves a large text, while the first-run note is made. After every
# kill "Tavelin.ini" is whole with every section and key it had, every note
# file holds its old text or its new one, and the next start leaves no
# temporary file behind. Some kills must land inside a write, or the test
# proved nothing.
#
# E2E_KILL_SEED repeats a run; the seed of each run is printed. E2E_KILLS
# asks for more kills (bench/kill_soak.sh), shared out as 50 are.
. "$(dirname "$0")/lib.sh"

seed=${E2E_KILL_SEED:-$(($(date +%s) % 32768))}
RANDOM=$seed
total=${E2E_KILLS:-50}
e2e_log "random seed $seed, $total kills"

kills=0
cut_writes=0

# The watcher of kill_at_write goes with the test, however it ends.
WATCHER=""
stop_watcher_and_clean_up() {
    local status=$?
    [ -z "$WATCHER" ] || kill "$WATCHER" 2>/dev/null || true
    (exit "$status")
    e2e_cleanup
}
trap stop_watcher_and_clean_up EXIT

# Kills the program now. True when it was still running, so that the kill
# cut into its work.
kill_now() {
    if ! e2e_running; then
        wait "$E2E_PID" 2>/dev/null || true
        E2E_PID=""
        drv wait-exit >/dev/null || e2e_fail "the program did not end"
        return 1
    fi
    kill -KILL "$E2E_PID"
    wait "$E2E_PID" 2>/dev/null || true
    E2E_PID=""
    # Until Wine has seen it go, its single-instance lock would turn the next
    # start away. A process killed inside a write to a busy disk goes only
    # when the write comes back.
    drv wait-exit 120000 >/dev/null || e2e_fail "the killed program is still there"
    kills=$((kills + 1))
    # A temporary file left behind: the kill came between its creation and
    # its move into place, inside a write.
    [ -z "$(find "$E2E_DIR" -maxdepth 1 -name '*.tmp' -printf '%f ')" ] || cut_writes=$((cut_writes + 1))
}

# Kills the program after a random part of `window` milliseconds.
kill_within() {
    local delay=$((RANDOM % $1))
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill_now
}

# Runs the action, then kills the program as the n-th temporary file appears
# in its directory: in the middle of that write. True when it was still
# running then.
kill_at_write() {
    local n=$1 line seen=0
    shift
    coproc WATCH { exec inotifywait -m -e create --format '%f' "$E2E_DIR" 2>&1; }
    WATCHER=$WATCH_PID
    while read -r -t 20 -u "${WATCH[0]}" line; do
        [ "$line" = "Watches established." ] && break
    done
    "$@"
    local waited=0
    while e2e_running && [ "$waited" -lt 100 ]; do
        if ! read -r -t 0.2 -u "${WATCH[0]}" line; then
            waited=$((waited + 1))
            continue
        fi
        [[ $line == *.tmp ]] || continue
        seen=$((seen + 1))
        [ "$seen" -ge "$n" ] && break
    done
    local landed=0
    kill_now || landed=1
    kill "$WATCHER" 2>/dev/null || true
    wait "$WATCHER" 2>/dev/null || true
    WATCHER=""
    return "$landed"
}

# Milliseconds since some fixed moment.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the program and checks that the start cleared what a cut-off
# write left behind.
start_and_check_leftovers() {
    local left
    e2e_start
    "$@"
    left=$(find "$E2E_DIR" -maxdepth 1 -name '*.tmp' -printf '%f ')
    [ -z "$left" ] || e2e_fail "temporary files after the start: $left"
}

# Every section, and every key given as "section key value", is there.
expect_ini_whole() {
    local sections=$1
    shift
    ini_whole "$E2E_INI" || e2e_fail "Tavelin.ini is not whole after kill $kills"
    local section
    for section in $sections; do
        ini_has_section "$section" || e2e_fail "section $section lost after kill $kills"
    done
    while [ $# -gt 0 ]; do
        ini_expect "$1" "$2" "$3"
        shift 3
    done
}

# ---- 30 notes write their placement at the exit ------------------------------

e2e_log "30 notes, killed while the exit writes their placement"
# Written afresh before every start: with no placement stored yet, the exit
# writes all 30 notes' placements (the same values again would write
# nothing), in one write. Someone else's large section makes it take its time.
thirty_notes_file() {
    {
        printf '[Settings]\nNotizanzahl=30\nfirstrun=1\nstartscreen=0\n\n[Fremd]\nbehalten=ja\n'
        for k in $(seq 1 1000); do printf 'Schluessel%d=ein Wert, den nur ein anderes Programm kennt\n' "$k"; done
        for n in $(seq 1 30); do
            printf '\n[Notiz%d]\nactive=1\nNotizTitel="Nummer %d"\neigen=%d\n' "$n" "$n" "$n"
        done
    } | e2e_write_ini
}
for n in $(seq 1 30); do e2e_write_note_text "Notiz$n" "Text $n"; done
texts_before=$(cd "$E2E_DIR" && md5sum Notiz*.tvn)
sections="Settings Fremd $(seq -f 'Notiz%g' 1 30 | tr '\n' ' ')"

thirty_up() {
    drv_ok wait-count "$NOTE_CLASS" - 30 60000 >/dev/null
    e2e_sync
}
exit_now() { drv_ok post "$(e2e_main_window)" 16 0 0 >/dev/null; }  # WM_CLOSE

# One exit run whole, to learn how long it takes here.
thirty_notes_file
start_and_check_leftovers thirty_up
t0=$(now_ms)
exit_now
e2e_wait_exit
exit_ms=$(($(now_ms) - t0 + 200))
e2e_log "an exit with 30 notes takes about $exit_ms ms"

target=$((kills + total * 3 / 10))
for round in $(seq 1 $((target * 3))); do
    [ "$kills" -ge "$target" ] && break
    thirty_notes_file
    start_and_check_leftovers thirty_up
    # Every other time in the middle of the write, else at any moment.
    if ((round % 2)); then
        exit_now
        kill_within "$exit_ms" || continue
    else
        kill_at_write 1 exit_now || continue
    fi
    expect_ini_whole "$sections" Fremd behalten ja Fremd Schluessel1000 \
        "ein Wert, den nur ein anderes Programm kennt" Notiz7 eigen 7 Notiz30 active 1 \
        Settings Notizanzahl 30
    e2e_expect_eq "$(cd "$E2E_DIR" && md5sum Notiz*.tvn)" "$texts_before" "note files"
done
[ "$kills" -ge "$target" ] || e2e_fail "only $kills kills landed during the exit"

# ---- a note saves a large text -------------------------------------------------

e2e_log "a note with a large text, killed while it saves (${SECONDS} s so far)"
rm -f "$E2E_DIR"/Notiz*.tvn
printf '[Settings]\nNotizanzahl=1\nfirstrun=1\nstartscreen=0\n\n[Fremd]\nbehalten=ja\n\n[Notiz1]\nactive=1\n' |
    e2e_write_ini
{
    printf '{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 '
    for i in $(seq 1 12000); do printf 'Zeile %05d einer langen Notiz mit viel Text\\par\r\n' "$i"; done
    printf 'ENDE\\par\r\n}\r\n'
} >"$E2E_DIR/Notiz1.tvn"
old=$(md5sum <"$E2E_DIR/Notiz1.tvn")

large_text_loaded() { [[ "$(drv text "$note" | tail -c 200)" == *ENDE* ]]; }
one_note_loaded() {
    note=$(e2e_one_note)
    e2e_wait_for "the large text loaded" large_text_loaded
}

# Typed text at the start of the note, then "Text speichern" from its menu.
save_with_marker() {
    local memo
    memo=$(drv_ok child "$note" richedit)
    drv_ok click "$memo" 40 30 right >/dev/null
    drv_ok menu "Notiz bearbeiten" >/dev/null
    drv_ok type-into "$note" "Neu $1 " >/dev/null
    drv_ok click "$memo" 40 30 right >/dev/null
    drv_ok menu "Textaktionen/Text speichern" >/dev/null
}

# The file is the old one, or the new one whole.
expect_old_or_new() {
    local marker=$1 file=$E2E_DIR/Notiz1.tvn
    [ "$(md5sum <"$file")" = "$old" ] && return 0
    LC_ALL=C grep -q "Neu $marker " "$file" || e2e_fail "Notiz1.tvn is neither old nor new after kill $kills"
    LC_ALL=C grep -q 'ENDE' "$file" || e2e_fail "Notiz1.tvn is cut off after kill $kills"
    [ "$(head -c 5 "$file")" = '{\rtf' ] || e2e_fail "Notiz1.tvn does not begin as RTF"
    [ "$(tr -d '\r\n\0' <"$file" | tail -c 1)" = '}' ] || e2e_fail "Notiz1.tvn does not end as RTF"
    old=$(md5sum <"$file")
}

start_and_check_leftovers one_note_loaded
save_with_marker 0
t0=$(now_ms)
e2e_wait_for "the save" expect_old_or_new 0
save_ms=$(($(now_ms) - t0 + 300))
e2e_kill
e2e_log "saving the large text takes about $save_ms ms"

target=$((kills + total * 3 / 10))
for round in $(seq 1 $((target * 3))); do
    [ "$kills" -ge "$target" ] && break
    start_and_check_leftovers one_note_loaded
    if ((round % 2)); then
        save_with_marker "$round"
        kill_within "$save_ms" || continue
    else
        kill_at_write 1 save_with_marker "$round" || continue
    fi
    expect_ini_whole "Settings Fremd Notiz1" Fremd behalten ja Notiz1 active 1
    expect_old_or_new "$round"
done
[ "$kills" -ge "$target" ] || e2e_fail "only $kills kills landed during the saves"

# ---- the first-run note --------------------------------------------------------

e2e_log "first start, killed while it makes its first note (${SECONDS} s so far)"
first_run_files() {
    rm -f "$E2E_DIR"/Notiz*.tvn
    printf '[Settings]\nstartscreen=0\n\n[Fremd]\nbehalten=ja\n' | e2e_write_ini
}
prompt_up() { drv_ok wait-window '#32770' Notiz-Titel >/dev/null; }

first_run_files
t0=$(now_ms)
start_and_check_leftovers prompt_up
first_ms=$(($(now_ms) - t0))
e2e_kill
e2e_log "the first note asks for its title after about $first_ms ms"

# A start killed this early may not have cleared the last one's leftovers
# yet; the start after the last kill shows that none stay.
target=$total
for round in $(seq 1 $((target * 3))); do
    [ "$kills" -ge "$target" ] && break
    first_run_files
    if ((round % 2)); then
        e2e_start
        kill_within "$first_ms" || continue
    else
        kill_at_write $((1 + RANDOM % 2)) e2e_start || continue
    fi
    expect_ini_whole "Settings Fremd" Fremd behalten ja Settings startscreen 0
    if ini_has_section Notiz1; then ini_expect Notiz1 active 1; fi
done
[ "$kills" -ge "$target" ] || e2e_fail "only $kills kills landed during the first start"

# The last kill's leftovers go at this start too.
start_and_check_leftovers prompt_up
drv_ok answer-input Zuletzt >/dev/null
e2e_exit
e2e_log "$kills kills in ${SECONDS} s, $cut_writes of them inside a write"
[ "$cut_writes" -gt 0 ] || e2e_fail "no kill landed inside a write"
