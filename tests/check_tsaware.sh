#!/bin/bash
# Fails unless a Windows program carries the Terminal Server aware flag,
# without which a Remote Desktop server runs it under a compatibility layer.
#
#   tests/check_tsaware.sh OBJDUMP PROGRAM.exe
set -euo pipefail
(($# == 2)) || { echo "usage: $0 OBJDUMP PROGRAM.exe" >&2 && exit 2; }
grep -qx '[[:space:]]*TERMINAL_SERVICE_AWARE' <<<"$("$1" -p "$2")" ||
  { echo "$2 is not marked Terminal Server aware (link it with -Wl,--tsaware)" && exit 1; }
echo "$(basename "$2") is marked Terminal Server aware"
