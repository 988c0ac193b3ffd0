#!/usr/bin/env bash
# A Windows program of ours imports system DLLs only, so that it runs as a
# single .exe with nothing beside it.
#
#   check-imports.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
objdump=$1
shift
allowed='^(KERNEL32|USER32|GDI32|COMDLG32|WINMM|msvcrt)\.(dll|DLL)$'  # MinGW's winmm import names itself WINMM.DLL
for program in "$@"; do
  dlls=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$dlls" ] || { echo "$program: no imports found" >&2; exit 1; }
  while read -r dll; do
    [[ "$dll" =~ $allowed ]] || { echo "$program imports $dll" >&2; exit 1; }
  done <<<"$dlls"
  echo "$program: $(echo $dlls)"
done
