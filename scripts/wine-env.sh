# Sourced by run.sh, test.sh and the test scripts: a Wine prefix of the
# project's own, a display, and a persistent wineserver.
#   TAVELIN_ARCH    i686 (the default): the shipped 32-bit program under
#                   32-bit Wine; x86_64: the 64-bit build under 64-bit Wine
#   TAVELIN_PREFIX  the prefix to use (default: ~/.cache/tavelin/prefix32,
#                   or prefix64 for x86_64); the tests at other screen
#                   densities use one beside it whose name ends in "-scaled"
#   TAVELIN_DISPLAY a display number for a virtual screen when none is set
WINE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine.sh"
export WINE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=de_DE.UTF-8

# Chooses Wine for a build: the loader of that architecture, called
# directly (/usr/bin/wine would take the 32-bit one whenever it is there),
# and a prefix made for it.
tavelin_arch() {
  case $1 in
    i686) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
    x86_64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *) echo "Unbekannte Architektur: $1 (i686 oder x86_64)" >&2; return 1 ;;
  esac
  export TAVELIN_ARCH=$1
  export WINEPREFIX="${TAVELIN_PREFIX:-${HOME:-/root}/.cache/tavelin/prefix${WINEARCH#win}}"
}
tavelin_arch "${TAVELIN_ARCH:-i686}"

tavelin_prefix() {
  if [ -n "${1:-}" ]; then export WINEPREFIX=$1; fi
  if [ ! -f "$WINEPREFIX/.tavelin-ready" ]; then
    echo "Lege Wine-Umgebung an: $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # A loader that cannot start (no 32-bit support) leaves no registry.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "Wine ($WINELOADER) konnte die Umgebung $WINEPREFIX nicht anlegen." >&2
      return 1
    fi
    # Without a window manager every hide or destroy would wait 2 s.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # No sound device on the build machines.
    "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
    # A program that crashes ends with its backtrace on the test's output,
    # instead of waiting in a crash box that nobody closes.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >/dev/null 2>&1
    wineserver -w
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$fonts/"; done
    touch "$WINEPREFIX/.tavelin-ready"
  fi
}

# True when this machine runs 32-bit Windows programs: a tiny one, built into
# the given directory, runs under 32-bit Wine and returns its own exit code.
# The 32-bit prefix is prepared on the way.
tavelin_runs_32bit() {
  [ -x /usr/lib/wine/wine ] || return 1
  printf 'int main(void) { return 32; }\n' |
    i686-w64-mingw32-gcc -x c - -o "$1/probe32.exe" || return 1
  local status=0
  (tavelin_arch i686 && tavelin_prefix && exec "$WINE" "$1/probe32.exe") || status=$?
  [ "$status" -eq 32 ]
}

# Chooses the build that this machine's Wine runs: the shipped 32-bit one,
# or the 64-bit one with a warning where 32-bit programs cannot start. The
# given directory takes the probe; tavelin_tree names the build directory.
tavelin_pick_arch() {
  if tavelin_runs_32bit "$1"; then
    tavelin_arch i686
  else
    echo "WARNUNG: Dieser Rechner startet keine 32-Bit-Programme unter Wine" \
      "(scripts/setup.sh installiert wine32:i386); es läuft das 64-Bit-Programm." >&2
    tavelin_arch x86_64
  fi
}
tavelin_tree() { [ "$1" = i686 ] && echo build/win32 || echo build/win; }

# Starts Xvfb on a free display when DISPLAY is empty (or forced).
tavelin_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${TAVELIN_FORCE_XVFB:-}" ]; then return; fi
  local n=${TAVELIN_DISPLAY:-97}
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  TAVELIN_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return
    sleep 0.1
  done
  echo "Xvfb auf $DISPLAY antwortet nicht" >&2
  return 1
}

# A persistent server keeps each Wine start cheap. The first program started
# also brings up Wine's own services; start it here with its output going
# nowhere, or those services would inherit a test runner's pipes and the
# runner would wait for them until its time-out.
tavelin_wineserver() {
  wineserver -p 2>/dev/null || true
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# The screen density of the current prefix, in dots per inch (96 is 100 %).
# Wine 8 reads it from the user's desktop settings at every process start
# (its own Fonts key no longer counts). The server starts afresh, so that
# Wine's desktop and tray come up at the new density as well.
tavelin_dpi() {
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  tavelin_wineserver
}
