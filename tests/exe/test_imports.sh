#!/usr/bin/env bash
# The program names no DLL but the system's own: a DLL of any other name
# would be looked for first in the program's folder, which users can write
# to and fill with files others gave them.
#   test_imports.sh <objdump> <Tavelin.exe> <delay-load .def files...>
set -euo pipefail
export LC_ALL=C

# The DLLs the program may name, in lower case: those Windows always takes
# from the system folder, and the three loaded when first called, which the
# delay-load hook takes from there by full path. Others (version, winmm) are
# loaded at run time from the system folder, after the search is restricted.
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
         oleaut32.dll shell32.dll user32.dll
         comdlg32.dll oledlg.dll winspool.drv"

objdump=$1 exe=$2
shift 2
# The import table of the file itself, and the DLLs it loads when first
# called (named in the delay-load lists it was linked with).
named=$({ "$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p'
          sed -n 's/^LIBRARY[[:space:]]*//p' "$@"; } | tr -d '\r' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$named" ] || { echo "FAIL: no DLL found in the import table of $exe" >&2; exit 1; }
status=0
for dll in $named; do
    if ! printf '%s\n' $allowed | grep -qxF "$dll"; then
        echo "FAIL: $exe names $dll, which is not one of the system's own DLLs" >&2
        status=1
    fi
done
[ "$status" -ne 0 ] || echo "imports: $(echo $named)"
exit "$status"
