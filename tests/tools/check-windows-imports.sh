#!/usr/bin/env bash
# Fails when a Windows program imports statically a DLL that is not one of Windows' KnownDLLs: Windows
# would load such a DLL from the program's own folder first, before main, so that anyone who can drop a
# file there runs code with the technician's rights. Every other DLL is delay-loaded, after main has
# limited the search to System32. Also fails on a DLL a Windows 10 or 11 PC lacks (libstdc++-6.dll,
# libwinpthread-1.dll, zlib1.dll), since none of those is a KnownDLL either.
#   check-windows-imports.sh OBJDUMP PROGRAM.exe[:EXTRA.dll,...]...
# EXTRA: DLLs that program may import besides (the window program's COMCTL32, whose version 6 its
# manifest names, so that Windows takes it from the side-by-side store).
set -euo pipefail
objdump=$1
shift
known_dlls='advapi32 clbcatq combase comdlg32 coml2 gdi32 gdiplus imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32'
status=0
for argument in "$@"; do
  program=${argument%%:*}
  extra=
  [[ $argument == *:* ]] && extra=${argument#*:}
  allowed=" $(echo $known_dlls ${extra//,/ } | tr 'A-Z' 'a-z' | sed 's/\.dll\>//g') "
  file -b "$program" | grep -q '^PE32+ executable (\(console\|GUI\)) x86-64' || { echo "$program: not a PE32+ x86-64 program" >&2; status=1; }
  imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || { echo "$program: no imports read" >&2; status=1; }
  for dll in $imports; do
    name=${dll,,}
    [[ $allowed == *" ${name%.dll} "* ]] || { echo "$program imports $dll statically" >&2; status=1; }
  done
done
exit "$status"
