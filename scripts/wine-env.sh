# Sourced by run.sh, test.sh and the test scripts: a Wine prefix of the
# project's own, a display, and a persistent wineserver.
#   TAVELIN_PREFIX  the prefix to use (default: ~/.cache/tavelin/prefix64);
#                   the tests at other screen densities use one beside it
#                   whose name ends in "-scaled"
#   TAVELIN_DISPLAY a display number for a virtual screen when none is set
# 64-bit Wine, called directly: /usr/bin/wine prefers the 32-bit loader when
# it is installed, and that one cannot start on a kernel without 32-bit
# support.
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
WINE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine.sh"
export WINE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${TAVELIN_PREFIX:-${HOME:-/root}/.cache/tavelin/prefix64}"
export LANG=de_DE.UTF-8

tavelin_prefix() {
  if [ -n "${1:-}" ]; then export WINEPREFIX=$1; fi
  if [ ! -f "$WINEPREFIX/.tavelin-ready" ]; then
    echo "Lege Wine-Umgebung an: $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Without a window manager every hide or destroy would wait 2 s.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # No sound device on the build machines.
    "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
    wineserver -w
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$fonts/"; done
    touch "$WINEPREFIX/.tavelin-ready"
  fi
}

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
