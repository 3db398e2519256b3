#!/usr/bin/env bash
# Files of the kinds that turn up on real machines: hand-edited, copied from
# an older version, half written by another tool, lying about their content.
# For each kind the program comes up, shows every note it can, says at most
# one German message per fault, and changes no byte of what it could not
# read. Kinds that do not disturb each other share a start.
. "$(dirname "$0")/lib.sh"

# ---- the table ---------------------------------------------------------------
# kind: what the start's files hold (the function k_<kind> below makes it)
# start: kinds of one start share the program's run
# note: the note it concerns, which must show
# message: "yes" exactly one message names the note's file, "maybe" at most
# one may (what the rich-text control makes of it), "settings" exactly one
# names Tavelin.ini, "-" none may
#
# kind                 start      note  message
TABLE='
garbage-bytes          lines      -     -
nul-bytes              lines      -     -
line-of-100kb          lines      -     -
key-without-section    lines      -     -
comment-lines          lines      -     -
line-without-key       lines      -     -
lf-line-ends           lines      -     -
unclosed-section       lines      7     -
duplicate-section      lines      8     -
names-with-blanks      lines      9     -
counter-not-a-number   lines      12    -
colour-a-word          values     1     -
colour-negative        values     2     -
colour-hexadecimal     values     3     -
rect-upside-down       values     4     -
rect-empty             values     5     -
rect-not-numbers       values     6     -
rect-huge              values     7     -
rect-off-screen        values     8     -
ppi-not-a-number       values     9     -
showcmd-unknown        values     10    -
flags-not-a-number     values     11    -
alarm-hour-too-big     values     12    -
alarm-minute-a-word    values     13    -
alarm-switch-a-word    values     14    -
date-impossible        values     15    -
date-a-word            values     16    -
restoresize-negative   values     17    -
rolled-up-a-word       values     18    -
switches-words         values     19    -
title-of-100kb         values     20    -
active-a-word          values     21    -
counter-negative       values     -     -
settings-words         values     -     -
note-file-empty        notefiles  1     -
note-file-plain-text   notefiles  2     -
note-file-utf8-text    notefiles  3     -
note-file-utf16-text   notefiles  4     -
note-file-cut-off-rtf  notefiles  5     yes
note-file-a-directory  notefiles  6     yes
note-file-missing      notefiles  7     -
note-file-binary       notefiles  8     -
note-file-rtf-garbage  notefiles  9     maybe
counter-below-notes    notefiles  -     -
settings-utf8-mark     utf8mark   1     -
settings-double-mark   doublemark 1     -
settings-utf8-no-mark  utf8       1     -
settings-utf16-le      utf16le    1     -
settings-utf16-be      utf16be    1     -
settings-a-directory   directory  -     settings
settings-a-link        link       1     -
'

# ---- what the kinds add ------------------------------------------------------
# Each start collects the settings file as lines in INI (written in the
# start's encoding) and what it expects in:
#   NOTES     note numbers that must show
#   MESSAGES  what exactly one message must name ("maybe:": at most one)
#   KEEP      files that must keep every byte
#   KEEPLINE  lines of the settings file that must stay as they are
#   AFTER     checks run once the program has ended
INI=""
ini() { INI+="$*"$'\n'; }
note_section() { ini ""; ini "[Notiz$1]"; ini "active=1"; ini "NotizTitel=\"Titel $1\""; }

k_garbage_bytes() { ini "$GARBAGE"; KEEPLINE+=("$GARBAGE"); }
k_nul_bytes() { AFTER+=("nul_bytes_kept"); }
k_line_of_100kb() { ini "[Lang]"; ini "wert=$LONG"; KEEPLINE+=("wert=$LONG"); }
k_key_without_section() { INI="Notizanzahl=99"$'\n'"$INI"; KEEPLINE+=("Notizanzahl=99"); }
k_comment_lines() { ini "; Kommentar"; ini "# noch einer"; KEEPLINE+=("; Kommentar" "# noch einer"); }
k_line_without_key() { ini "=ohne Schlüssel"; ini "nur Text"; KEEPLINE+=("=ohne Schlüssel" "nur Text"); }
k_lf_line_ends() { LINE_END=$'\n'; }
k_unclosed_section() { ini ""; ini "[Notiz$1"; ini "active=1"; }
k_duplicate_section() { note_section "$1"; ini ""; ini "[Notiz$1]"; ini "active=0"; }
k_names_with_blanks() { ini ""; ini "[ notiz$1 ]"; ini "  ACTIVE = 1  "; }
k_counter_not_a_number() { SETTINGS+=("Notizanzahl=abc"); note_section "$1"; KEEPLINE+=("Notizanzahl=abc"); }

# One stored value per note. Values the placement storage writes at the exit
# are checked for what it wrote; the others must stay as they were.
bad_value() {
    note_section "$1"
    ini "$2"
    case $3 in
        keep) KEEPLINE+=("$2") ;;
        *) AFTER+=("$3 Notiz$1") ;;
    esac
}
k_colour_a_word() { bad_value "$1" "memo1_Color=gelb" yellow; }
k_colour_negative() { bad_value "$1" "memo1_Color=-1" yellow; }
k_colour_hexadecimal() { bad_value "$1" 'memo1_Color=$0000FF00' green; }
k_rect_upside_down() { bad_value "$1" "NormPos=10,300,200,100" sane_rect; }
k_rect_empty() { bad_value "$1" "NormPos=10,100,200,100" sane_rect; }
k_rect_not_numbers() { bad_value "$1" "NormPos=a,b,c,d" sane_rect; }
k_rect_huge() { bad_value "$1" "NormPos=0,0,99999,99999" sane_rect; }
k_rect_off_screen() { bad_value "$1" "NormPos=-5000,-5000,-4700,-4700" on_screen; }
k_ppi_not_a_number() { bad_value "$1" "PixelsPerInch=viele" sane_rect; }
k_showcmd_unknown() { bad_value "$1" "ShowCmd=99" sane_rect; }
k_flags_not_a_number() { bad_value "$1" "Flags=xyz" sane_rect; }
k_alarm_hour_too_big() { bad_value "$1" "RxClock1_AlarmHour=99" alarm_hour_zero; }
k_alarm_minute_a_word() { bad_value "$1" "RxClock1_AlarmMinute=halb" alarm_minute_zero; }
k_alarm_switch_a_word() { bad_value "$1" "RxClock1_AlarmEnabled=vielleicht" alarm_off; }
k_date_impossible() { bad_value "$1" "Alarmdatum=31.02.2024" keep; }
k_date_a_word() { bad_value "$1" "Alarmdatum=gestern" keep; }
k_restoresize_negative() { bad_value "$1" "restoresize=-5" keep; ini "minimiert=1"; }
k_rolled_up_a_word() { bad_value "$1" "minimiert=ja" keep; }
k_switches_words() {
    bad_value "$1" "titelleiste=nein" keep
    for line in "Buttonbar=?" "showclock=x" "wordwrap=2x"; do ini "$line"; KEEPLINE+=("$line"); done
}
k_title_of_100kb() {
    ini ""
    ini "[Notiz$1]"
    ini "active=1"
    ini "NotizTitel=\"$LONG\""
    KEEPLINE+=("NotizTitel=\"$LONG\"")
}
k_active_a_word() {
    ini ""
    ini "[Notiz$1]"
    ini "active=ja"
    ini "NotizTitel=\"Ja  \""
    KEEPLINE+=("NotizTitel=\"Ja  \"")
}
k_counter_negative() { SETTINGS+=("Notizanzahl=-3"); KEEPLINE+=("Notizanzahl=-3"); }
k_settings_words() {
    local line
    for line in "Standardfontsize=zwölf" "Standardfontname=" "Hotkey_neu=F1" "Hotkey_Vordergrund=" \
        "Showmenu=vielleicht" "wordwrap=2x" "startscreen=ja"; do
        SETTINGS+=("$line")
        KEEPLINE+=("$line")
    done
    MESSAGES+=("„F1“")  # a hot key that names no key is none, and the start says so
}

# Note files; each note has its title, and its file must keep its bytes.
note_file() {
    note_section "$1"
    if [ -n "${2+set}" ]; then
        printf '%s' "$2" >"$E2E_DIR/Notiz$1.tvn"
        KEEP+=("Notiz$1.tvn")
    fi
}
k_note_file_empty() { note_file "$1" ""; }
k_note_file_plain_text() { note_file "$1" "$(printf 'Einkauf\r\nK\xe4se')"; TEXTS+=("$1:Einkauf"$'\n'"Käse"); }
k_note_file_utf8_text() { note_file "$1" "Größe"; TEXTS+=("$1:Größe"); }
k_note_file_utf16_text() {
    note_file "$1"
    printf '\xff\xfeZ\000w\000\xf6\000l\000f\000' >"$E2E_DIR/Notiz$1.tvn"
    KEEP+=("Notiz$1.tvn")
    TEXTS+=("$1:Zwölf")
}
k_note_file_cut_off_rtf() { note_file "$1" '{\rtf1\ansi Anfang ohne Ende'; }
k_note_file_a_directory() {
    note_section "$1"
    mkdir "$E2E_DIR/Notiz$1.tvn"
    AFTER+=("still_a_directory Notiz$1.tvn")
}
k_note_file_missing() { note_section "$1"; }
# Every byte value, NUL included, the same each run.
binary() { LC_ALL=C awk 'BEGIN { for (i = 0; i < 3000; i++) printf "%c", (i * 131 + 7) % 256 }'; }
k_note_file_binary() { note_file "$1"; binary >"$E2E_DIR/Notiz$1.tvn"; KEEP+=("Notiz$1.tvn"); }
k_note_file_rtf_garbage() {
    note_file "$1"
    { printf '{\\rtf1 '; binary; } >"$E2E_DIR/Notiz$1.tvn"
    KEEP+=("Notiz$1.tvn")
}
k_counter_below_notes() { SETTINGS+=("Notizanzahl=1"); KEEPLINE+=("Notizanzahl=1"); }

k_settings_utf8_mark() { ENCODING=utf8mark; note_section "$1"; ini "[Fremd]"; ini "Grüße=schön"; AFTER+=("umlauts_kept"); }
k_settings_double_mark() { ENCODING=doublemark; note_section "$1"; ini "[Fremd]"; ini "Grüße=schön"; AFTER+=("umlauts_kept"); }
k_settings_utf8_no_mark() { ENCODING=utf8; note_section "$1"; ini "[Fremd]"; ini "Grüße=schön"; AFTER+=("umlauts_kept"); }
k_settings_utf16_le() { ENCODING=utf16le; note_section "$1"; ini "[Fremd]"; ini "Grüße=schön"; AFTER+=("umlauts_kept"); }
k_settings_utf16_be() { ENCODING=utf16be; note_section "$1"; ini "[Fremd]"; ini "Grüße=schön"; AFTER+=("umlauts_kept"); }
k_settings_a_directory() { ENCODING=none; mkdir "$E2E_INI"; AFTER+=("still_a_directory Tavelin.ini"); }
k_settings_a_link() {
    ENCODING="link"
    note_section "$1"
    ini "[Fremd]"
    ini "privat=1"
    AFTER+=("link_kept")
}

# ---- checks once the program has ended --------------------------------------

yellow() { ini_expect "$1" memo1_Color 65535; }
green() { ini_expect "$1" memo1_Color 65280; }
alarm_hour_zero() { ini_expect "$1" RxClock1_AlarmHour 0; }
alarm_minute_zero() { ini_expect "$1" RxClock1_AlarmMinute 0; }
alarm_off() { ini_expect "$1" RxClock1_AlarmEnabled False; }
# The note came up with a place of its own size on the screen.
rect_of() {
    local l t r b
    IFS=, read -r l t r b <<<"$(ini_get "$1" NormPos)"
    printf '%d %d %d %d\n' "$l" "$t" "$r" "$b"
}
sane_rect() {
    local l t r b
    read -r l t r b <<<"$(rect_of "$1")"
    [ "$r" -gt "$l" ] && [ "$b" -gt "$t" ] && [ $((r - l)) -le 1024 ] && [ $((b - t)) -le 1024 ] ||
        e2e_fail "[$1] NormPos is $l,$t,$r,$b"
}
on_screen() {
    local l t r b
    read -r l t r b <<<"$(rect_of "$1")"
    [ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1024 ] && [ "$b" -le 768 ] ||
        e2e_fail "[$1] NormPos $l,$t,$r,$b is off the screen"
}
nul_bytes_kept() {
    e2e_expect_eq "$(LC_ALL=C tr -cd '\000' <"$E2E_INI" | wc -c)" 3 "NUL bytes in Tavelin.ini"
}
still_a_directory() { [ -d "$E2E_DIR/$1" ] || e2e_fail "$1 is no longer a directory"; }
umlauts_kept() {
    ini_expect Fremd "Grüße" "schön"
    e2e_expect_eq "$(head -c 4 "$E2E_INI" | od -An -tx1)" "$MARK" "how Tavelin.ini begins"
}
link_kept() {
    [ -L "$E2E_INI" ] || e2e_fail "Tavelin.ini is no longer a link"
    ini_get Notiz1 NormPos >/dev/null || e2e_fail "the file behind the link was not written"
    # Under Wine the rights follow the permissions: others still have none.
    [ $((0$(stat -L -c %a "$E2E_INI") % 8)) -eq 0 ] || e2e_fail "others may read Tavelin.ini now"
}

# ---- one start ------------------------------------------------------------------

# The settings file as the start asks: Windows-1252 (or bytes as they are),
# UTF-8 with one or two marks or without, UTF-16 either way, or behind a link.
write_settings() {
    local text settings=""
    local s
    for s in "${SETTINGS[@]}"; do settings+="$s"$'\n'; done
    text=$(printf '[Settings]\n%sfirstrun=1\n%s' "$settings" "$INI")
    text=${text//$'\n'/$LINE_END}$LINE_END
    case $ENCODING in
        bytes) printf '%s' "$text" >"$E2E_INI"
               printf 'Fremd\000Zeile\000mit Nullen\000\r\n' >>"$E2E_INI" ;;
        cp1252) printf '%s' "$text" | iconv -f UTF-8 -t WINDOWS-1252 >"$E2E_INI" ;;
        utf8) printf '%s' "$text" >"$E2E_INI" ;;
        utf8mark) { printf '\xef\xbb\xbf'; printf '%s' "$text"; } >"$E2E_INI" ;;
        doublemark) { printf '\xef\xbb\xbf\xef\xbb\xbf'; printf '%s' "$text"; } >"$E2E_INI" ;;
        utf16le) { printf '\xff\xfe'; printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE; } >"$E2E_INI" ;;
        utf16be) { printf '\xfe\xff'; printf '%s' "$text" | iconv -f UTF-8 -t UTF-16BE; } >"$E2E_INI" ;;
        link) mkdir -p "$E2E_WORK/Ablage"
              printf '%s' "$text" | iconv -f UTF-8 -t WINDOWS-1252 >"$E2E_WORK/Ablage/Tavelin.ini"
              chmod 600 "$E2E_WORK/Ablage/Tavelin.ini"
              ln -s "$E2E_WORK/Ablage/Tavelin.ini" "$E2E_INI" ;;
        none) ;;
    esac
}

run_start() {
    local start=$1
    local kinds=() kind group note message
    INI="" SETTINGS=() NOTES=() MESSAGES=() KEEP=() KEEPLINE=() AFTER=() TEXTS=()
    ENCODING=cp1252 LINE_END=$'\r\n'
    [ "$start" = lines ] && ENCODING=bytes
    find "$E2E_DIR" -mindepth 1 -not -name Tavelin.exe -exec rm -rf {} +
    rm -rf "$E2E_WORK/Ablage"
    while read -r kind group note message; do
        [ "$group" = "$start" ] || continue
        kinds+=("$kind")
        "k_${kind//-/_}" "$note"
        [ "$note" = - ] || NOTES+=("$note")
        case $message in
            yes) MESSAGES+=("Notiz$note.tvn") ;;
            maybe) MESSAGES+=("maybe:Notiz$note.tvn") ;;
            settings) MESSAGES+=("Tavelin.ini") ;;
        esac
    done <<<"$TABLE"
    if [ "$ENCODING" != none ]; then
        # The last note, whose text shows once every note before it has
        # read its own (and said what it could not).
        note_file 50 '{\rtf1\ansi W\u228?chter\par}'
        TEXTS+=("50:Wächter")
        NOTES+=(50)
    fi
    write_settings
    MARK=$(head -c 4 "$E2E_INI" 2>/dev/null | od -An -tx1 || true)
    local mode=""
    [ -f "$E2E_INI" ] && [ ! -L "$E2E_INI" ] && mode=$(stat -c %a "$E2E_INI")
    local sums=()
    for f in "${KEEP[@]}"; do sums+=("$(md5sum <"$E2E_DIR/$f")"); done

    e2e_log "start \"$start\": ${kinds[*]}"
    e2e_start
    local t
    for t in "${TEXTS[@]}"; do
        [ "${t%%:*}" = 50 ] && e2e_note_with_text "${t#*:}" >/dev/null
    done
    [ "$ENCODING" = none ] && drv_ok msgbox >/dev/null
    local boxes
    boxes=$(drv_ok answer-msgboxes ok)
    [ -n "$boxes" ] && printf '%s\n' "$boxes" | sed 's/^/   message: /'
    local said=0 pattern n
    for pattern in "${MESSAGES[@]}"; do
        n=$(printf '%s\n' "$boxes" | grep -cF -- "${pattern#maybe:}" || true)
        case $pattern in
            maybe:*) [ "$n" -le 1 ] || e2e_fail "$n messages name ${pattern#maybe:}" ;;
            *) [ "$n" -eq 1 ] || e2e_fail "$n messages name $pattern, expected one" ;;
        esac
        # shellcheck disable=SC1111  # the German quotes are the message's own
        if [ "$n" -eq 1 ] && [[ ${pattern#maybe:} =~ ^Notiz([0-9]+)\.tvn$ ]]; then
            printf '%s\n' "$boxes" | grep -F -- "${pattern#maybe:}" | grep -cF "„Titel ${BASH_REMATCH[1]}“" >/dev/null ||
                e2e_fail "the message about ${pattern#maybe:} does not name the note's title"
        fi
        said=$((said + n))
    done
    e2e_expect_eq "$(printf '%s' "$boxes" | grep -c . || true)" "$said" "messages of start $start"
    if [ -n "$boxes" ]; then
        printf '%s\n' "$boxes" | grep -v 'nicht gelesen werden' >/dev/null &&
            e2e_fail "a message that does not say what could not be read"
    fi
    e2e_notes "${#NOTES[@]}" >/dev/null
    for t in "${TEXTS[@]}"; do e2e_note_with_text "${t#*:}" >/dev/null; done
    e2e_screenshot "$start"
    # Nothing said later than the messages answered above.
    e2e_drain
    e2e_expect_no_window '#32770' - "a message after those of start $start"
    e2e_exit

    local i
    for i in "${!KEEP[@]}"; do
        e2e_expect_eq "$(md5sum <"$E2E_DIR/${KEEP[$i]}")" "${sums[$i]}" "bytes of ${KEEP[$i]}"
    done
    local line
    for line in "${KEEPLINE[@]}"; do
        if [ "$ENCODING" = bytes ]; then
            LC_ALL=C grep -cF -- "$line" "$E2E_INI" >/dev/null || e2e_fail "line changed: ${line:0:60}"
        else
            ini_text "$E2E_INI" | grep -cF -- "$line" >/dev/null || e2e_fail "line changed: ${line:0:60}"
        fi
    done
    [ -z "$mode" ] || e2e_expect_eq "$(stat -c %a "$E2E_INI")" "$mode" "permissions of Tavelin.ini"
    local check
    for check in "${AFTER[@]}"; do $check; done
}

# A line no editor would write: every byte but line ends and NUL, in turn.
GARBAGE=$(LC_ALL=C awk 'BEGIN { for (i = 0; i < 220; i++) printf "%c", 33 + (i * 37) % 222 }')
GARBAGE=${GARBAGE//[/(}
LONG=$(printf '%*s' 102400 '' | tr ' ' 'x')

kind_count=$(printf '%s\n' "$TABLE" | grep -c .)
[ "$kind_count" -ge 40 ] || e2e_fail "only $kind_count kinds in the table"
for start in $(printf '%s\n' "$TABLE" | awk 'NF { print $2 }' | awk '!seen[$0]++'); do
    run_start "$start"
done
e2e_log "$kind_count kinds in $(printf '%s\n' "$TABLE" | awk 'NF { print $2 }' | sort -u | wc -l) starts"
