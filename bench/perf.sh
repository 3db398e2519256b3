#!/usr/bin/env bash
# Start, exit, idle CPU and memory of Tavelin.exe with 50 notes, against the
# bare floor program (bench/floor.cpp) in the same run, as ratios. Both run
# under the same Wine, on a virtual screen of their own, round after round.
#   BENCH_ROUNDS  rounds (default 3; the medians are printed)
#   BENCH_IDLE_S  seconds of each idle measurement (default 30)
# Then the 1 MB save, backup and search benches on the same screen. Called
# by bench/run.sh after the build; $1 is the Windows build directory.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$1
rounds=${BENCH_ROUNDS:-3}
idle=${BENCH_IDLE_S:-30}
export LC_ALL=C
export TAVELIN_PREFIX=${TAVELIN_PREFIX:-${HOME:-/root}/.cache/tavelin/prefix-bench-${TAVELIN_ARCH:-i686}}
export TAVELIN_FORCE_XVFB=1
. scripts/wine-env.sh
tavelin_prefix
tavelin_display
tavelin_wineserver
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; kill "$TAVELIN_XVFB_PID" 2>/dev/null || true; rm -rf "$work"' EXIT

cp "$build/probe.exe" "$work/"
# Through a file, not a pipe: the program that the probe starts would
# inherit the pipe and hold the reader until it ends.
probe() {
    env -u LC_ALL "$WINE" "$work/probe.exe" "$@" </dev/null >"$work/probe.out"
    cat "$work/probe.out"
}
hz=$(getconf CLK_TCK)

# The Linux process that runs a Windows program: Wine names it by its path.
linux_pid() { pgrep -f "^Z:$1\$" | sed -n 1p; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status"; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

# The exit as users meet it: from the close message until the Linux process
# has ended and its windows are off the screen (a log-off waits as long).
# The end is seen through a process descriptor, from a thread that waits
# while the probe posts the message.
timed_exit() {
    env -u LC_ALL python3 - "$1" "$WINE" "$work/probe.exe" exit "$2" "$3" <<'PY'
import os, select, subprocess, sys, threading, time
ended = []
descriptor = os.pidfd_open(int(sys.argv[1]))
def wait():
    select.select([descriptor], [], [])
    ended.append(time.time() * 1000)
waiter = threading.Thread(target=wait)
waiter.start()
posted = subprocess.run(sys.argv[2:], stdin=subprocess.DEVNULL, capture_output=True,
                        text=True, check=True).stdout.split()[-1]
waiter.join()
print("%.1f" % (ended[0] - float(posted)))
PY
}

# One run of one program: prints "start_ms exit_ms rss_kb cpu_ms wakeups".
measure() {
    local exe=$1 note_class=$2 main_class=$3 clocks=$4 alarms=${5:-0}
    local dir="$work/run/Programm"
    rm -rf "$work/run"
    python3 bench/make_notes.py "$dir" "$clocks" "$alarms"
    cp "$build/$exe" "$dir/"
    cp res/alarm.wav "$dir/"  # shipped beside the program; each note loads it
    local start_ms pid c0 c1 w0 w1 rss exit_ms
    start_ms=$(probe start "Z:$dir/$exe" "$note_class" 50)
    pid=$(linux_pid "$dir/$exe")
    sleep 3  # start-up ticks and first paints are over
    rss=$(rss_kb "$pid")
    c0=$(cpu_ticks "$pid"); w0=$(wakeups "$pid")
    sleep "$idle"
    c1=$(cpu_ticks "$pid"); w1=$(wakeups "$pid")
    exit_ms=$(timed_exit "$pid" "$main_class" "$note_class")
    echo "$start_ms $exit_ms $rss $(((c1 - c0) * 1000 / hz)) $((w1 - w0))"
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

: >"$work/floor" ; : >"$work/program" ; : >"$work/quiet" ; : >"$work/alarms" ; : >"$work/plain"
for round in $(seq 1 "$rounds"); do
    echo "Runde $round/$rounds ..." >&2
    measure floor.exe FloorNote FloorMain 1 >>"$work/floor"
    measure Tavelin.exe TForm2 TForm1 1 >>"$work/program"
    measure Tavelin.exe TForm2 TForm1 0 >>"$work/quiet"
    # The same notes with and without alarms, each first in every other
    # round: Wine starts a program faster right after a run of it.
    if [ $((round % 2)) -eq 1 ]; then
        measure Tavelin.exe TForm2 TForm1 1 1 >>"$work/alarms"
        measure Tavelin.exe TForm2 TForm1 1 0 >>"$work/plain"
    else
        measure Tavelin.exe TForm2 TForm1 1 0 >>"$work/plain"
        measure Tavelin.exe TForm2 TForm1 1 1 >>"$work/alarms"
    fi
done

col() { awk -v c="$2" '{print $c}' "$work/$1" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf (b > 0 ? "%.2f" : "-"), a / b}'; }
# The program waits 250 ms on purpose before it restores the notes.
fs=$(col floor 1); ps=$(col program 1); psn=$(awk -v p="$ps" 'BEGIN {print p - 250}')
fe=$(col floor 2); pe=$(col program 2)
fr=$(col floor 3); pr=$(col program 3)
fc=$(col floor 4); pc=$(col program 4)
fw=$(col floor 5); pw=$(col program 5)
qc=$(col quiet 4); qw=$(col quiet 5)
printf '%-44s %10s %10s %7s\n' "Messung (Median aus $rounds Runden)" "Programm" "Boden" "Faktor"
printf '%-44s %10s %10s %7s\n' "Start bis 50 Notizen, ms (ohne 250 ms)" "$psn" "$fs" "$(ratio "$psn" "$fs")"
printf '%-44s %10s %10s %7s\n' "Beenden bis Prozessende, 50 Notizen, ms" "$pe" "$fe" "$(ratio "$pe" "$fe")"
printf '%-44s %10s %10s %7s\n' "CPU im Leerlauf, ${idle} s, Uhren an, ms" "$pc" "$fc" "$(ratio "$pc" "$fc")"
printf '%-44s %10s %10s %7s\n' "Aufwachen im Leerlauf, ${idle} s, Uhren an" "$pw" "$fw" "$(ratio "$pw" "$fw")"
printf '%-44s %10s %10s %7s\n' "Speicher (RSS) mit 50 Notizen, KB" "$pr" "$fr" "$(ratio "$pr" "$fr")"
# Every note with a repeating alarm, against the same notes without.
as=$(col alarms 1); ns=$(col plain 1)
printf '%-44s %10s %10s %7s\n' "Start, 50 Notizen mit/ohne Alarmreihe, ms" "$as" "$ns" "$(ratio "$as" "$ns")"
printf '%-44s %10s\n' "CPU im Leerlauf, ${idle} s, Uhren aus, ms" "$qc"
printf '%-44s %10s\n' "Aufwachen im Leerlauf, ${idle} s, Uhren aus" "$qw"

# On the same screen: saving a 1 MB note against the raw stream-out plus an
# atomic write of the same bytes (bench/save_bench.cpp).
echo "== Notiz von 1 MB speichern"
env -u LC_ALL "$WINE" "$build/save_bench.exe"

# A copy of 50 notes of 100 KB while the window thread answers messages
# (bench/backup_bench.cpp).
echo "== Sicherung von 50 Notizen"
mkdir -p "$work/backup"
env -u LC_ALL "$WINE" "$build/backup_bench.exe" "Z:$(printf %s "$work/backup" | tr / '\\')"

# Searching 50 notes of 100 KB as the query is typed, through the search
# window and the notes' own text controls (bench/search_bench.cpp).
echo "== Notizen durchsuchen, 50 Notizen zu 100 KB, Buchstabe um Buchstabe"
env -u LC_ALL "$WINE" "$build/search_bench.exe"
