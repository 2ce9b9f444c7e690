#!/usr/bin/env bash
# Checks the built 32-bit product file: a PE32 GUI program for Intel 80386 that imports
# statically only libraries Windows always takes from its own folder, whose load configuration
# restricts its libraries' imports to the system folder, is relocatable, NX- and
# Terminal-Server-aware, whose every call slot holds something (no call jumps to 0), and carries the administrator / common-controls 6 manifest naming
# Windows 7 to 11 as supported.
set -euo pipefail
exe=${1:?program file}
fail() { echo "FAIL: $*" >&2; exit 1; }
kind=$(file -b "$exe")
echo "file: $kind"
[[ $kind == PE32\ executable* && $kind == *GUI* && $kind == *Intel\ 80386* ]] || fail "not a PE32 GUI i386 program"

# The system's known DLLs, which the loader never looks for beside the program, and the common
# controls, which the manifest's side-by-side dependency names. Everything else (WinINet, ...)
# is loaded at run time from the system folder by full path.
static_dlls='^(kernel32|user32|gdi32|shell32|msvcrt|advapi32|ole32|oleaut32|shlwapi|comctl32)\.dll$'
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "imports: $(echo $dlls)"
for dll in $dlls; do
    [[ $dll =~ $static_dlls ]] || fail "imports $dll, which Windows may load from the program's folder"
done
# The first call of a delay-loaded function goes through its slot: none may hold 0.
python3 "$(dirname "$0")/pe-call-slots.py" i686-w64-mingw32-objdump "$exe" || fail "a call slot holds 0"
python3 "$(dirname "$0")/pe-load-config.py" check "$exe" || fail "the load configuration does not restrict the imports' search"

flags=$(i686-w64-mingw32-objdump -p "$exe" | sed -n '/^DllCharacteristics/,/^[A-Z]/{/^\s/p}' | tr -d ' \t')
echo "flags: $(echo $flags)"
for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do
    grep -qx "$flag" <<<"$flags" || fail "lacks $flag"
done

manifest=$(strings -n 8 "$exe" | tr -d '\r' | sed -n '/<assembly/,/<\/assembly>/p')
grep -q 'level="requireAdministrator"' <<<"$manifest" || fail "manifest lacks requireAdministrator"
grep -q 'uiAccess="false"' <<<"$manifest" || fail "manifest lacks uiAccess false"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" ||
    fail "manifest lacks the Common-Controls 6.0.0.0 dependency"
grep -q 'processorArchitecture="x86"' <<<"$manifest" || fail "manifest is not for x86"
# supportedOS identifiers: Windows 7, 8, 8.1, and 10 (which Windows 11 shares).
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
          1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    grep -q "<supportedOS Id=\"{$os}\"/>" <<<"$manifest" || fail "manifest lacks supportedOS {$os}"
done
echo "size: $(stat -c %s "$exe") bytes"
echo "product file checks passed"
