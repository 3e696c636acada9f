#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that a Windows 10 or 11 PC may lack: anything but the
# system's own (a libstdc++-6.dll, libwinpthread-1.dll or zlib1.dll would have to travel beside it).
#   check-windows-imports.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|msvcrt|ws2_32|iphlpapi|uxtheme)\.dll$'
status=0
for program in "$@"; do
  file -b "$program" | grep -q '^PE32+ executable (\(console\|GUI\)) x86-64' || { echo "$program: not a PE32+ x86-64 program" >&2; status=1; }
  imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || { echo "$program: no imports read" >&2; status=1; }
  for dll in $imports; do
    echo "${dll,,}" | grep -Eq "$allowed" || { echo "$program imports $dll" >&2; status=1; }
  done
done
exit "$status"
