# Sourced by every end-to-end test. Gives the test a fresh program directory
# with its own copy of Tavelin.exe, starts and ends the program, drives it
# through e2e_driver.exe, reads the settings file, and cleans up whatever
# happens: the program is ended (only the copy this test started), and the
# test's directory is removed on success and kept for a look on failure.
#
# ctest passes TAVELIN_EXE, DRIVER_EXE and SRC_DIR. The test rig has prepared
# the Wine prefix, the display and a persistent wineserver (scripts/wine-env.sh);
# a test never starts a display or stops the wineserver itself.
#
# E2E_SHOTS: a directory that keeps the screenshots the tests take.

# errexit: a helper that fails inside $(...) ends its subshell only; the
# failed assignment then ends the test too. errtrace names the command that
# failed, wherever it was.
# No reader in a pipeline may stop early (head, grep -q, awk's exit): the
# writer it cuts off would fail the pipeline.
set -eEu
set -o pipefail

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SRC_DIR=${SRC_DIR:-$(cd "$E2E_LIB_DIR/../.." && pwd)}
E2E_NAME=$(basename "${BASH_SOURCE[1]:-$0}" .sh)
# shellcheck source=../../scripts/wine-env.sh
. "$SRC_DIR/scripts/wine-env.sh"

# The window classes of the tray controller and of a note. They keep the
# names that an older running copy and other programs look for.
TRAY_CLASS=TForm1
NOTE_CLASS=TForm2

E2E_PID=""
E2E_WORK=""
E2E_DIR=""
E2E_INI=""
E2E_SCALED=""

e2e_log() { printf '== %s\n' "$*"; }

# Ends the test with a message, the windows the program has open and the
# settings file as it is now; a screenshot is kept in the test's directory.
e2e_fail() {
    printf 'FAIL %s: %s\n' "$E2E_NAME" "$*" >&2
    if [ -n "$E2E_WORK" ] && [ -d "$E2E_WORK" ]; then
        : >"$E2E_WORK/failed"
        import -window root "$E2E_WORK/failure.png" >/dev/null 2>&1 &&
            printf 'screenshot: %s\n' "$E2E_WORK/failure.png" >&2
        if e2e_running; then
            printf -- '--- windows of the program\n' >&2
            drv list >&2 || true
        elif [ -n "$E2E_PID" ]; then
            # Only the shell that started it can ask (not a subshell: 127).
            local code=0
            wait "$E2E_PID" 2>/dev/null || code=$?
            [ "$code" -eq 127 ] || printf 'the program ended with exit code %s\n' "$code" >&2
        fi
        if [ -f "$E2E_INI" ]; then
            printf -- '--- %s\n' "$E2E_INI" >&2
            ini_text "$E2E_INI" >&2 || true
        fi
        if [ -s "$E2E_WORK/program.log" ]; then
            printf -- '--- what the program wrote\n' >&2
            tail -n 30 "$E2E_WORK/program.log" >&2
            # Wine ends a process on an X error it does not expect; that is
            # Wine's fault, not the program's, and is named so.
            if grep -qE 'X Error of failed request|X protocol error' "$E2E_WORK/program.log"; then
                printf 'the program was ended by an X error inside Wine\n' >&2
            fi
        fi
    fi
    exit 1
}

[ -n "${TAVELIN_EXE:-}" ] && [ -f "$TAVELIN_EXE" ] || e2e_fail "TAVELIN_EXE does not name the program"
[ -n "${DRIVER_EXE:-}" ] && [ -f "$DRIVER_EXE" ] || e2e_fail "DRIVER_EXE does not name the driver"
[ -n "${DISPLAY:-}" ] || e2e_fail "no DISPLAY: the test rig must provide one"
[ -f "$WINEPREFIX/.tavelin-ready" ] || e2e_fail "Wine prefix $WINEPREFIX is not prepared"

# Windows programs started from a test's folder (any test's when none is
# given) under this prefix, "pid command" a line: Wine gives each process the
# unix path of its program as command line.
e2e_programs_from() {
    local pid cmd
    for pid in $(pgrep -f -- "${1:-/tavelin-e2e\.}"); do
        cmd=$(tr '\0' ' ' 2>/dev/null </proc/"$pid"/cmdline | sed 's/ *$//') || continue
        [[ $cmd == *.[eE][xX][eE]* ]] || continue
        tr '\0' '\n' 2>/dev/null </proc/"$pid"/environ | grep -qE "^WINEPREFIX=$WINEPREFIX(-scaled)?\$" || continue
        printf '%s %s\n' "$pid" "$cmd"
    done
}

# Until none of these programs is left, at most ten seconds: a process that
# Wine has ended may take a moment to go.
e2e_programs_gone() {
    local _
    for _ in $(seq 1 100); do
        [ -z "$(e2e_programs_from "$@")" ] && return 0
        sleep 0.1
    done
    return 1
}

e2e_end_programs() { e2e_programs_from "$@" | cut -d' ' -f1 | xargs -r kill -KILL 2>/dev/null || true; }

# A test that ctest ended at its time limit never cleaned up; a program it
# left would hold the hot keys and answer this test's driver calls.
if ! e2e_programs_gone; then
    printf '== an earlier test left running, ended now: %s\n' "$(e2e_programs_from | tr '\n' ';')"
    e2e_end_programs
    e2e_programs_gone || { echo "FAIL: programs of earlier tests do not end" >&2; exit 1; }
fi

E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavelin-e2e.XXXXXX") || exit 1
E2E_DIR=$E2E_WORK/Programm
E2E_INI=$E2E_DIR/Tavelin.ini
mkdir -p "$E2E_DIR"
cp "$TAVELIN_EXE" "$E2E_DIR/Tavelin.exe"
# The driver looks only at processes of this copy.
export E2E_EXE="$E2E_DIR/Tavelin.exe"

# Commands run at the end of the test, whatever happens: for another program
# that the test started.
E2E_AT_EXIT=()
e2e_at_exit() { E2E_AT_EXIT+=("$*"); }

e2e_cleanup() {
    local status=$? cmd
    trap - EXIT
    for cmd in "${E2E_AT_EXIT[@]}"; do eval "$cmd" || true; done
    if [ -e "$E2E_WORK/failed" ] && [ "$status" -eq 0 ]; then status=1; fi
    if e2e_running || [ -n "$(drv pids 2>/dev/null)" ]; then e2e_kill; fi
    if [ -n "$E2E_SCALED" ]; then wineserver -k 2>/dev/null || true; fi
    # Whatever this test started must be gone, or the next tests meet it.
    if ! e2e_programs_gone "$E2E_WORK/"; then
        printf 'FAIL %s: still running after the test: %s\n' "$E2E_NAME" \
            "$(e2e_programs_from "$E2E_WORK/" | tr '\n' ';')" >&2
        e2e_end_programs "$E2E_WORK/"
        status=1
    fi
    if [ "$status" -eq 0 ]; then
        rm -rf "$E2E_WORK"
    else
        printf 'kept for a look: %s\n' "$E2E_WORK" >&2
    fi
    exit "$status"
}
trap e2e_cleanup EXIT
e2e_on_error() {
    # A failure already reported in a subshell ends this shell quietly.
    if [ -e "$E2E_WORK/failed" ]; then exit 1; fi
    e2e_fail "line $1: $2"
}
trap 'e2e_on_error "$LINENO" "$BASH_COMMAND"' ERR
trap 'e2e_fail "interrupted"' INT TERM

# ---- the driver --------------------------------------------------------------

# Wine takes its locale from the environment: LANG (German, from
# wine-env.sh) must not be overridden by an LC_ALL=C meant for the shell tools.
e2e_wine() { env -u LC_ALL "$WINE" "$@"; }

# Runs one driver command; its output on stdout, its error on stderr.
# Wine's own error messages on: a driver that Wine ends says why.
drv() { WINEDEBUG=-all,err+all e2e_wine "$DRIVER_EXE" "$@" </dev/null; }

# Same, but a failing command fails the test. The message tells a condition
# that did not come (exit code 1) from a driver that did not run, and says
# whether the program had ended by itself meanwhile.
drv_ok() {
    local output status=0 said
    output=$(drv "$@" 2>"$E2E_WORK/driver.err") || status=$?
    said=$(cat "$E2E_WORK/driver.err")
    [ -z "$said" ] || printf '%s\n' "$said" >&2
    if [ "$status" -ne 0 ]; then
        [ -n "$said" ] || said="the driver said nothing"
        e2e_fail "driver: $* (exit code $status, $said$(e2e_running || printf '; the program has ended'))"
    fi
    printf '%s\n' "$output"
}

# ---- the program -------------------------------------------------------------

e2e_running() { [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; }
e2e_not_running() { ! e2e_running; }

# Starts the program in its directory in the background. Its output goes to a
# file: a process left behind must never hold the test runner's pipes. Wine's
# own errors go there too: a program that ends at once says why.
e2e_start() {
    e2e_running && e2e_fail "the program is already running"
    (cd "$E2E_DIR" && exec env -u LC_ALL WINEDEBUG=-all,err+all "$WINE" "$E2E_DIR/Tavelin.exe" </dev/null >>"$E2E_WORK/program.log" 2>&1) &
    E2E_PID=$!
    e2e_log "started Tavelin.exe (pid $E2E_PID) in $E2E_DIR"
}

# Waits until the program has ended by itself and checks its exit code.
e2e_wait_exit() {
    drv wait-exit >/dev/null || e2e_fail "the program did not end"
    e2e_wait_for "the Wine process to end" e2e_not_running
    local code=0
    wait "$E2E_PID" || code=$?
    E2E_PID=""
    [ "$code" -eq 0 ] || e2e_fail "the program ended with exit code $code"
}

# Ends the program as the user does: tray menu, "Tavelin beenden".
e2e_exit() {
    e2e_running || e2e_fail "the program is not running"
    drv_ok tray rclick >/dev/null
    drv_ok menu "Tavelin beenden" >/dev/null
    e2e_wait_exit
    e2e_log "program ended through the tray menu"
}

# Only what this test started: the copy in this test's directory (found by
# the driver) and the Wine process started here.
e2e_kill() {
    drv kill >/dev/null 2>&1 || true
    if e2e_running; then
        kill "$E2E_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_PID" ]; then wait "$E2E_PID" 2>/dev/null || true; fi
    E2E_PID=""
}

# Runs what follows at a screen density of its own (dots per inch; 96 is
# 100 %). That happens in a prefix beside the rig's, which only such tests use,
# so the density of the other tests' prefix never changes; the first call
# prepares it (once per machine), and the test's end stops its server.
e2e_at_dpi() {
    e2e_running && e2e_fail "the density changes only while the program is not running"
    if [ -z "$E2E_SCALED" ]; then
        E2E_SCALED="$WINEPREFIX-scaled"
        tavelin_prefix "$E2E_SCALED"
    fi
    tavelin_dpi "$1"
    e2e_log "screen density $1 dpi"
}

# ---- windows -----------------------------------------------------------------

# The visible note windows, one handle a line, once there are exactly n.
e2e_notes() { drv_ok wait-count "$NOTE_CLASS" - "$1"; }

# The handle of the only visible note; fails unless there is exactly one.
e2e_one_note() { e2e_notes 1; }

# The visible note whose text control holds exactly this text, once there
# is one (a note loads its text a moment after it appears).
e2e_note_with_text() {
    drv wait-text "$NOTE_CLASS" "$1" || e2e_fail "no note holds the text \"$1\""
}

# Returns once the program's thread has finished what it was doing: a sent
# message is answered only between two of its handlers (or inside a modal
# box's loop). Without a window: the tray controller's.
e2e_sync() { drv_ok send "${1:-$(e2e_main_window)}" 0 0 0 >/dev/null; }

# Returns once the program has handled every message that was waiting for
# it, posted ones such as a hot key's included: the tray icon's messages are
# posted behind them, so once the tray menu is up, all that came before has
# run. e2e_sync is not enough for that, a sent message overtakes them.
e2e_drain() {
    drv_ok tray rclick >/dev/null
    drv_ok menu-show >/dev/null
    drv_ok menu-close >/dev/null
}

# The tray controller's window (the splash), shown or not.
e2e_main_window() { drv_ok find-any "$TRAY_CLASS" - | sed -n 1p; }

# "left top right bottom" of a window.
e2e_rect() { drv_ok rect "$1"; }

# Screenshot of the whole screen, kept in $E2E_SHOTS when that is set.
e2e_screenshot() {
    local file="$E2E_WORK/$1.png"
    import -window root "$file" >/dev/null 2>&1 || return 0
    if [ -n "${E2E_SHOTS:-}" ]; then
        mkdir -p "$E2E_SHOTS"
        cp "$file" "$E2E_SHOTS/$E2E_NAME-$1.png"
    fi
}

# "#rrggbb" of one screen pixel.
e2e_pixel() {
    local file="$E2E_WORK/pixel.png"
    import -window root "$file" >/dev/null 2>&1 || e2e_fail "no screenshot"
    convert "$file" -format "%[hex:u.p{$1,$2}]" info: | LC_ALL=C tr 'A-F' 'a-f' | sed 's/^/#/; s/^\(#......\).*/\1/'
}

# ---- checks that something is not there --------------------------------------
# Each first proves that it could have seen the thing: the driver ran and
# answered, the directory is the program's, the settings file is there and
# reads as one. A caller that waits for something that must not come first
# lets the program finish what would bring it (e2e_sync, e2e_drain).

# Fails the test unless exactly n visible windows of this class and title
# are there now.
e2e_expect_windows() {
    local n
    n=$(drv_ok count "$1" "$2")
    [[ $n =~ ^[0-9]+$ ]] || e2e_fail "driver: count gave \"$n\""
    [ "$n" -eq "$3" ] || e2e_fail "$4: $n windows of class $1, expected $3"
}
e2e_expect_no_window() { e2e_expect_windows "$1" "$2" 0 "$3"; }

e2e_expect_no_file() {
    [ -f "$E2E_DIR/Tavelin.exe" ] || e2e_fail "the program directory $E2E_DIR is gone"
    [ ! -e "$E2E_DIR/$1" ] || e2e_fail "$2: $1 exists"
}

# ---- the settings file and note files ----------------------------------------

# The file as UTF-8 text with LF line ends, whatever encoding it has on disk
# (Windows-1252, UTF-8 with or without BOM, UTF-16 with BOM).
ini_text() {
    local file=$1 head
    head=$(head -c 3 "$file" | od -An -tx1 | tr -d ' \n')
    case $head in
        efbbbf*) tail -c +4 "$file" | tr -d '\r' ;;
        fffe* | feff*) iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' ;;
        *) if iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1; then
               tr -d '\r' <"$file"
           else
               iconv -f WINDOWS-1252 -t UTF-8 "$file" | tr -d '\r'
           fi ;;
    esac
}

# The value of a key as written (quotes and blanks kept); section and key
# without regard to case, as the program reads them. Fails when missing.
ini_get() {
    local section=$1 key=$2 file=${3:-$E2E_INI}
    [ -f "$file" ] || return 1
    ini_text "$file" | LC_ALL=C awk -v sec="$section" -v key="$key" '
        BEGIN { sec = tolower(sec); key = tolower(key); found = 0 }
        /^[ \t]*\[/ {
            s = $0; sub(/^[ \t]*\[/, "", s); sub(/\][ \t]*$/, "", s)
            insec = (tolower(s) == sec); next
        }
        insec {
            i = index($0, "=")
            if (i > 0) {
                k = substr($0, 1, i - 1); gsub(/^[ \t]+|[ \t]+$/, "", k)
                if (!found && tolower(k) == key) { print substr($0, i + 1); found = 1 }
            }
        }
        END { exit !found }'
}

# The key names of a section in file order.
ini_keys() {
    local section=$1 file=${2:-$E2E_INI}
    [ -f "$file" ] || return 1
    ini_text "$file" | LC_ALL=C awk -v sec="$section" '
        BEGIN { sec = tolower(sec) }
        /^[ \t]*\[/ {
            s = $0; sub(/^[ \t]*\[/, "", s); sub(/\][ \t]*$/, "", s)
            insec = (tolower(s) == sec); next
        }
        insec && index($0, "=") > 0 { k = substr($0, 1, index($0, "=") - 1); gsub(/^[ \t]+|[ \t]+$/, "", k); print k }'
}

# The section names in file order.
ini_sections() {
    local file=${1:-$E2E_INI}
    [ -f "$file" ] || return 1
    ini_text "$file" | sed -n 's/^[ \t]*\[\(.*\)\][ \t]*$/\1/p'
}

ini_has_section() { ini_sections | grep -ixF -- "$1" >/dev/null; }

# The file is there and reads as a settings file: it has a section.
ini_readable() {
    local sections
    [ -f "$E2E_INI" ] || return 1
    sections=$(ini_sections) || return 1
    [ -n "$sections" ]
}

# True only for a readable file without the section: a missing file is no
# proof of a missing section.
ini_lacks_section() { ini_readable && ! ini_has_section "$1"; }

ini_expect_no_section() {
    ini_readable || e2e_fail "$E2E_INI is missing or holds no section"
    ! ini_has_section "$1" || e2e_fail "$2: the settings file has a section [$1]"
}

# The settings file is whole: every line a section, a key with its value or
# empty, and the last one ended.
ini_whole() {
    local file=${1:-$E2E_INI} bad
    [ -s "$file" ] || return 1
    [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' \n')" = 0d0a ] || return 1
    bad=$(ini_text "$file" | LC_ALL=C grep -cvE '^(\[[^]]*\]|[^=[;#][^=]*=.*|)$' || true)
    [ "$bad" -eq 0 ]
}

# Fails the test unless the key holds exactly the expected text.
ini_expect() {
    local section=$1 key=$2 expected=$3 actual
    actual=$(ini_get "$section" "$key") || e2e_fail "[$section] $key is missing"
    [ "$actual" = "$expected" ] ||
        e2e_fail "[$section] $key is \"$actual\", expected \"$expected\""
}

# Writes the settings file from a UTF-8 here-document, as German Windows
# would have written it: Windows-1252 with CR LF.
e2e_write_ini() {
    iconv -f UTF-8 -t WINDOWS-1252 | sed 's/$/\r/' >"$E2E_INI" || e2e_fail "cannot write $E2E_INI"
}

# A settings file with these notes, Notiz1 on, each shown, and their text
# files; the program starts without its first-start help and splash. A note
# is its text and then its own keys (key=value, or several lines in one
# argument); "--" begins the next one. A note with the empty text has no
# text file. E2E_SETTINGS holds more lines for [Settings].
e2e_write_notes() {
    local arg sections="" texts=() next=1 n
    for arg in "$@"; do
        if [ "$arg" = -- ]; then
            next=1
        elif [ "$next" = 1 ]; then
            texts+=("$arg")
            sections+=$'\n'"[Notiz${#texts[@]}]"$'\n'"active=1"$'\n'
            next=0
        else
            sections+="$arg"$'\n'
        fi
    done
    printf '[Settings]\nNotizanzahl=%d\nfirstrun=1\nstartscreen=0\n%s%s' "${#texts[@]}" \
        "${E2E_SETTINGS:+$E2E_SETTINGS$'\n'}" "$sections" |
        e2e_write_ini
    for n in "${!texts[@]}"; do
        [ -z "${texts[n]}" ] || e2e_write_note_text "Notiz$((n + 1))" "${texts[n]}"
    done
}

# A note text file with plain text in it, as rich text.
e2e_write_note_text() {
    local name=$1 text=$2
    printf '{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 %s\\par\r\n}\r\n' \
        "$(printf '%s' "$text" | iconv -f UTF-8 -t WINDOWS-1252)" >"$E2E_DIR/$name.tvn" ||
        e2e_fail "cannot write $name.tvn"
}

# Every line of the file ends in CR LF.
e2e_expect_crlf() {
    local bad
    bad=$(LC_ALL=C grep -vc $'\r$' "$1" || true)
    [ "$bad" -eq 0 ] || e2e_fail "$(basename "$1") has $bad lines without CR LF"
}

# Waits until a condition (a shell command) holds; the program writes its
# files from its own message loop, so a test waits rather than assumes. The
# limit is in seconds of the clock, however slow each look is, and only keeps
# a broken build from hanging the run.
E2E_WAIT_SECONDS=${E2E_WAIT_SECONDS:-60}
e2e_wait_for() {
    local what=$1
    shift
    local deadline=$((SECONDS + E2E_WAIT_SECONDS))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] ||
            e2e_fail "waited ${E2E_WAIT_SECONDS} s in vain for: $what"
        sleep 0.1
    done
}

# ---- DLLs planted beside the program -----------------------------------------

# Copies of a DLL that leaves a file when loaded, under the names of system
# DLLs the program uses: for the text control, the object, print and sound
# parts. (A planted shcore.dll is left out: 32-bit Wine takes it for its own
# shlwapi before any code of the program runs.)
e2e_plant_dlls() {
    local dll
    for dll in msftedit.dll riched20.dll oledlg.dll winspool.drv version.dll winmm.dll; do
        cp "$MARKER_DLL" "$E2E_DIR/$dll"
    done
}

# The marker is named as the program asked for the DLL: "Msftedit.dll.loaded".
e2e_expect_no_dll_loaded() {
    local loaded
    loaded=$(find "$E2E_DIR" -maxdepth 1 -iname '*.loaded' -printf '%f ')
    [ -z "$loaded" ] || e2e_fail "DLLs beside the program were loaded ($1): $loaded"
}

# ---- alarms -------------------------------------------------------------------

# An alarm moment (seconds since 1970) for the settings file: the start of a
# minute at least a minute from now. The program has long started when it
# comes, and the start does not take it for overdue, which counts whole
# minutes.
e2e_alarm_moment() { echo $((($(date '+%s') + 119) / 60 * 60)); }

# The keys that arm a note's alarm for that moment, as the program writes them.
e2e_alarm_keys() {
    printf 'Alarmdatum=%s\nRxClock1_AlarmEnabled=True\nRxClock1_AlarmHour=%s\nRxClock1_AlarmMinute=%s\nRxClock1_AlarmSecond=0\n' \
        "$(date -d "@$1" '+%d.%m.%Y')" "$(date -d "@$1" '+%-H')" "$(date -d "@$1" '+%-M')"
}

# The reminder with this caption, once it has come; it must come inside the
# minute that begins at the moment.
e2e_wait_ring() {
    local reminder rang
    reminder=$(drv_ok wait-window AlarmReminder "$1" 240000)
    rang=$(date '+%s')
    [ "$rang" -ge "$2" ] || e2e_fail "the alarm rang $(($2 - rang)) s early"
    [ "$rang" -lt $(($2 + 60)) ] || e2e_fail "the alarm rang $((rang - $2)) s after its moment, past its minute"
    # A turn takes answers only a moment after it came: until "OK" is enabled.
    drv_ok wait-enabled "$reminder" 1 >/dev/null
    printf '%s\n' "$reminder"
}

# Fails the test unless actual equals expected.
e2e_expect_eq() {
    [ "$1" = "$2" ] || e2e_fail "$3: got \"$1\", expected \"$2\""
}

# Fails the test unless the text holds this exact line.
e2e_expect_line() {
    printf '%s\n' "$1" | grep -xF -- "$2" >/dev/null || e2e_fail "$3: expected the line \"$2\" in:
$1"
}

# The child windows of a window: handle, class, id, visible, l t r b, text.
e2e_children() { drv_ok children "$1"; }

# 1 when the first child of this class (part of its name) is visible, 0 when
# it is hidden; fails the test when the window has no such child.
e2e_child_shown() {
    local shown
    shown=$(e2e_children "$1" | awk -F'\t' -v c="$2" '!done && index(tolower($2), tolower(c)) { print $4; done = 1 }')
    [ -n "$shown" ] || e2e_fail "window $1 has no child of class $2"
    printf '%s\n' "$shown"
}

# The note's client area in screen pixels: "left top right bottom". A note
# has the same frame on every side.
e2e_client_rect() {
    drv_ok info "$1" | awk -F'\t' '{
        split($5, r, " "); match($6, /client=[0-9]+x[0-9]+/)
        split(substr($6, RSTART + 7, RLENGTH - 7), c, "x"); f = (r[3] - r[1] - c[1]) / 2
        print r[1] + f, r[2] + f, r[1] + f + c[1], r[2] + f + c[2] }'
}

# Clicks a button drawn on a note's title line, as a user does: 1 deletes
# the note, 2 rolls it up or down (96 dpi).
e2e_click_title_button() {
    local l t r b frame
    read -r l t r b <<<"$(e2e_client_rect "$1")"
    frame=$((l - $(e2e_rect "$1" | cut -d' ' -f1)))
    drv_ok click "$1" $((frame + ($2 == 1 ? 10 : 26))) $((frame + 6)) >/dev/null
}

# Opens a note's view-mode menu with a right click into its text.
e2e_note_menu() {
    local memo
    memo=$(drv_ok child "$1" richedit)
    drv_ok click "$memo" 40 30 right >/dev/null
}
