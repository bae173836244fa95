#!/bin/bash
# Fails when a program's manifest names an architecture other than the
# program's own: Windows then silently skips the common controls 6
# dependency and the program gets the old controls.
#
#   tests/check_manifest_arch.sh OBJDUMP PROGRAM.exe
set -euo pipefail
(($# == 2)) || {
  echo "usage: $0 OBJDUMP PROGRAM.exe" >&2
  exit 2
}
objdump=$1 program=$2
case $("$objdump" -f "$program" | sed -n 's/.*file format //p') in
  pei-i386) own=x86 ;;
  pei-x86-64) own=amd64 ;;
  *)
    echo "error: $program is not a Windows x86 or x64 program" >&2
    exit 1
    ;;
esac
named=$(grep -a -o 'processorArchitecture="[^"]*"' "$program" | sort -u)
if [[ $named != "processorArchitecture=\"$own\"" ]]; then
  printf '%s is an %s program, but its manifest names:\n%s\n' "$program" "$own" "${named:-nothing}"
  exit 1
fi
echo "the manifest of $(basename "$program") names its own architecture, $own"
