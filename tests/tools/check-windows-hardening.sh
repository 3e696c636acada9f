#!/usr/bin/env bash
# Fails when a Windows program lacks the hardening its build asks for: ASLR (DYNAMIC_BASE, with the
# relocations it needs), 64-bit ASLR (HIGH_ENTROPY_VA), DEP (NX_COMPAT), and the stack protector. The
# programs are stripped, so the protector is seen by what it links in: libssp's failure routine, whose
# message only a program built with -fstack-protector carries (the -lssp that brings it in comes with
# that flag alone).
#   check-windows-hardening.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
objdump=$1
shift
status=0
for program in "$@"; do
  headers=$("$objdump" -p "$program")
  flags=$(sed -n '/^DllCharacteristics/,/^[^[:space:]]/p' <<<"$headers")
  for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
    grep -qw "$flag" <<<"$flags" || { echo "$program: no $flag" >&2; status=1; }
  done
  # Entry 5 of the data directory: address and size of the base relocations.
  relocations=$(sed -n 's/^Entry 5 [0-9a-f]* \([0-9a-f]*\) Base Relocation Directory.*/\1/p' <<<"$headers")
  [[ ${relocations:-0} =~ [1-9a-f] ]] || { echo "$program: no base relocations" >&2; status=1; }
  grep -qF '*** stack smashing detected ***' < <(strings -a "$program") ||
    { echo "$program: no stack protector linked in" >&2; status=1; }
done
exit "$status"
