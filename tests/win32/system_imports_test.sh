#!/usr/bin/env bash
# Passes when every DLL that the .exe imports is one that every Windows 10
# and 11 has: nothing of the compiler's runtime needs to travel with it.
set -euo pipefail
exe=$1
system_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|ADVAPI32|SHELL32|msvcrt|api-ms-win-.*)\.dll$'
mapfile -t imports < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
((${#imports[@]} > 0)) || { echo "no imports read from $exe" >&2; exit 1; }
status=0
for dll in "${imports[@]}"; do
  if [[ $dll =~ $system_dlls ]]; then
    echo "system: $dll"
  else
    echo "not a system DLL: $dll" >&2
    status=1
  fi
done
exit $status
