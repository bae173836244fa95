#!/bin/bash
# Fails when a program's manifest names an architecture other than the
# program's own: Windows then silently skips the common controls 6
# dependency and the program gets the old controls.
#
#   tests/check_manifest_arch.sh OBJDUMP PROGRAM.exe
set -euo pipefail
(($# == 2)) || { echo "usage: $0 OBJDUMP PROGRAM.exe" >&2 && exit 2; }
objdump=$1 program=$2
declare -A manifest_name=([pei-i386]=x86 [pei-x86-64]=amd64)
format=$("$objdump" -f "$program" | sed -n 's/.*file format //p')
own=${manifest_name[$format]:-}
[[ -n $own ]] || { echo "error: $program is not a Windows x86 or x64 program" >&2 && exit 1; }
named=$(grep -a -o 'processorArchitecture="[^"]*"' "$program" | sort -u)
if [[ $named != "processorArchitecture=\"$own\"" ]]; then
  printf '%s is an %s program, but its manifest names:\n%s\n' "$program" "$own" "${named:-nothing}"
  exit 1
fi
echo "the manifest of $(basename "$program") names its own architecture, $own"
