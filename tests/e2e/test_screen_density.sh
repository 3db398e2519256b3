#!/usr/bin/env bash
# The program on screens of 100 %, 150 % and 200 % (96, 144 and 192 dpi): what
# a user sees (the splash, a new note, its title line, clock and buttons, the
# overdue alarm, the alarm editor, the title prompt, the about box, the
# settings and hidden-notes dialogs; the system's delete question roughly)
# measures 1.5 and 2 times what it measures at 100 %, within a pixel. A
# note's place survives a restart at every density and is stored with that
# density; a place stored at 96 dpi is taken at 96 dpi and left alone at the
# others, where the note starts at its default place. Screenshots go to
# E2E_SHOTS for a look at the pictures and the German texts.
. "$(dirname "$0")/lib.sh"

declare -A at100  # what each thing measures at 96 dpi

# "w h" of a window's outer rectangle, and of its client area.
outer_size() {
    local l t r b
    read -r l t r b <<<"$(e2e_rect "$1")"
    echo "$((r - l)) $((b - t))"
}
client_size() { drv_ok info "$1" | sed -n 's/.*client=\([0-9]*\)x\([0-9]*\).*/\1 \2/p'; }

# Where the first run of a colour starts down the middle of a window and how
# long it is: "offset height" of the title line as the screen shows it.
colour_run() {
    local window=$1 colour=$2 shot=$E2E_WORK/run.png l t r b
    read -r l t r b <<<"$(e2e_rect "$window")"
    import -window root "$shot" >/dev/null 2>&1 || e2e_fail "no screenshot"
    convert "$shot" -crop "1x$((b - t))+$(((l + r) / 2))+$t" -depth 8 txt:- |
        LC_ALL=C awk -v c="$colour" 'NR > 1 {
            y = $1; sub(/^[0-9]+,/, "", y); sub(/:$/, "", y)
            if (tolower($3) == c) { if (start == "") start = y; if (!done) n++ }
            else if (start != "") done = 1
        }
        END { print start, n + 0 }'
}

title_drawn() { [ "$(colour_run "$1" "#ff0000" | cut -d' ' -f2)" -gt 0 ]; }

# The button size of a tool bar as the control has it, "w h".
button_size() {
    local size
    size=$(drv_ok send "$1" 0x43A 0 0)  # TB_GETBUTTONSIZE
    echo "$((size & 0xFFFF)) $((size >> 16))"
}

# The note's widest visible tool bar: the view or the edit bar.
button_bar() {
    e2e_children "$1" | awk -F'\t' '$2 == "ToolbarWindow32" && $4 == 1 {
        split($5, r, " "); if (r[3] - r[1] > widest) { widest = r[3] - r[1]; bar = $1 } }
        END { print bar }'
}

clock_height() {
    e2e_children "$1" | awk -F'\t' '$2 == "TavelinRxClock" { split($5, r, " "); print r[4] - r[2] }'
}

# At 96 dpi remembers what a thing measures (one or more numbers); at the
# other densities checks that each number is dpi / 96 times that, within a
# pixel.
measured() {
    local what=$1 dpi=$2
    shift 2
    if [ "$dpi" -eq 96 ]; then
        at100[$what]="$*"
        e2e_log "$what at 96 dpi: $*"
        return
    fi
    local -a base=(${at100[$what]})
    local -a now=("$@")
    local i
    for i in "${!base[@]}"; do
        local diff=$((now[i] * 96 - base[i] * dpi))
        [ "${diff#-}" -le 96 ] ||
            e2e_fail "$what at $dpi dpi: $* against ${at100[$what]} at 96 dpi"
    done
    e2e_log "$what at $dpi dpi: $* (at 96 dpi: ${at100[$what]})"
}

run_at() {
    local dpi=$1
    e2e_at_dpi "$dpi"
    rm -f "$E2E_DIR"/*.tvn
    # Notiz1 was placed on an old machine at 96 dpi; its alarm came due
    # yesterday, while the program was not running.
    e2e_write_ini <<INI
[Settings]
Notizanzahl=1
firstrun=1

[Notiz1]
active=1
showclock=1
PixelsPerInch=96
NormPos=200,150,500,450
Alarmdatum=$(date -d '-1 day' '+%d.%m.%Y')
RxClock1_AlarmEnabled=True
RxClock1_AlarmHour=9
RxClock1_AlarmMinute=0
INI
    e2e_write_note_text Notiz1 "Übertragen am Montag"

    e2e_start
    local splash
    splash=$(drv_ok wait-window "$TRAY_CLASS" "Tavelin 2000")
    # For the look only: the splash may be gone by the time of the picture.
    drv send "$splash" 0x000F 0 0 >/dev/null || true  # WM_PAINT
    e2e_screenshot "splash-$dpi"
    measured "splash client area" "$dpi" $(client_size "$splash")
    drv_ok wait-gone "$splash" >/dev/null

    local old
    old=$(e2e_note_with_text "Übertragen am Montag")
    if [ "$dpi" -eq 96 ]; then
        e2e_expect_eq "$(e2e_rect "$old")" "200 150 500 450" "note stored at 96 dpi, at 96 dpi"
    fi
    measured "clock strip height" "$dpi" "$(clock_height "$old")"
    measured "view bar buttons" "$dpi" $(button_size "$(button_bar "$old")")

    e2e_log "the overdue alarm"
    local overdue
    overdue=$(drv_ok wait-window OverdueAlarm "Alarm überfallig")
    e2e_screenshot "overdue-$dpi"
    measured "overdue alarm window" "$dpi" $(outer_size "$overdue")
    drv_ok post "$overdue" 0x111 1 0 >/dev/null  # "O.K."
    drv_ok wait-gone "$overdue" >/dev/null

    e2e_log "the alarm editor"
    e2e_note_menu "$old"
    drv_ok menu "Notiz-Eigenschaften/Alarm für diese Notiz" >/dev/null
    local editor
    editor=$(drv_ok wait-window '#32770' 'Alarm-Dialog')
    e2e_screenshot "alarm-editor-$dpi"
    measured "alarm editor client area" "$dpi" $(client_size "$editor")
    drv_ok answer-dialog Alarm-Dialog cancel >/dev/null

    e2e_log "a new note, and the title prompt over it"
    drv_ok tray dblclick >/dev/null
    local note input
    note=$(e2e_note_with_text "")
    input=$(drv_ok wait-window '#32770' 'Notiz-Titel')
    e2e_screenshot "new-note-$dpi"
    measured "new note" "$dpi" $(outer_size "$note")
    measured "title prompt client area" "$dpi" $(client_size "$input")
    drv_ok answer-input "Grüße aus Köln" >/dev/null
    e2e_wait_for "the red title line of the new note" title_drawn "$note"
    measured "title line height" "$dpi" "$(colour_run "$note" "#ff0000" | cut -d' ' -f2)"
    measured "edit bar buttons" "$dpi" $(button_size "$(button_bar "$note")")

    if [ "$dpi" -ne 96 ]; then
        e2e_log "the place stored at 96 dpi is not taken: the note starts where a new one does"
        local l t r b
        read -r l t r b <<<"$(e2e_rect "$old")"
        e2e_expect_eq "$l $t $((r - l)) $((b - t))" "$(e2e_rect "$note" |
            awk '{ print $1, $2, $3 - $1, $4 - $2 }')" "note stored at 96 dpi, at $dpi dpi"
    fi

    e2e_log "the about box"
    drv_ok tray rclick >/dev/null
    drv_ok menu "Info über das Programm..." >/dev/null
    local about
    about=$(drv_ok wait-window AboutBox -)
    e2e_screenshot "about-$dpi"
    measured "about box client area" "$dpi" $(client_size "$about")
    drv_ok post "$about" 0x0010 0 0 >/dev/null  # WM_CLOSE hides it
    drv_ok wait-gone "$about" >/dev/null

    local caption class form
    for caption in "Grundeinstellungen..." "unsichtbare Notizen..."; do
        e2e_log "the dialog of \"$caption\""
        class=$([ "$caption" = "Grundeinstellungen..." ] && echo SettingsDialog || echo HiddenNotesDialog)
        drv_ok tray rclick >/dev/null
        drv_ok menu "$caption" >/dev/null
        form=$(drv_ok wait-window "$class" -)
        e2e_screenshot "$class-$dpi"
        measured "$class client area" "$dpi" $(client_size "$form")
        drv_ok post "$form" 0x0111 2 0 >/dev/null  # "Abbrechen" (IDCANCEL)
        drv_ok wait-gone "$form" >/dev/null
    done

    e2e_log "the delete question (the system's box)"
    e2e_note_menu "$note"
    drv_ok menu "Notiz löschen" >/dev/null
    local box
    box=$(drv_ok wait-window '#32770' 'Notiz löschen')
    e2e_screenshot "delete-question-$dpi"
    local w h
    read -r w h <<<"$(client_size "$box")"
    drv_ok answer-msgbox cancel >/dev/null
    # The system lays its own box out from the text and its metrics, which
    # do not grow exactly with the density: it is to grow by three quarters
    # of it at least.
    if [ "$dpi" -eq 96 ]; then
        at100[box]="$w $h"
    else
        local -a base=(${at100[box]})
        [ $((w * 96 * 4)) -ge $((base[0] * dpi * 3)) ] &&
            [ $((h * 96 * 4)) -ge $((base[1] * dpi * 3)) ] ||
            e2e_fail "delete question at $dpi dpi: $w x $h against ${at100[box]} at 96 dpi"
        e2e_log "delete question at $dpi dpi: $w $h (at 96 dpi: ${at100[box]})"
    fi

    e2e_log "the note's place survives a restart"
    local placed
    placed=$(drv_ok move "$note" 100 60 $((dpi * 3)) $((dpi * 5 / 2)))
    e2e_exit
    ini_expect Notiz2 PixelsPerInch "$dpi"
    ini_expect Notiz2 NormPos "$(tr ' ' ',' <<<"$placed")"
    e2e_start
    e2e_wait_for "Notiz2 at its place" note_at "$placed"
    e2e_exit
}

note_at() {
    local h
    for h in $(drv find "$NOTE_CLASS" - || true); do
        [ "$(e2e_rect "$h")" = "$1" ] && return 0
    done
    return 1
}

for dpi in 96 144 192; do run_at "$dpi"; done
