#!/bin/bash
# Fails unless a Windows program carries the Terminal Server aware flag,
# without which a Remote Desktop server runs it under a compatibility layer.
#
#   tests/check_tsaware.sh OBJDUMP PROGRAM.exe
set -euo pipefail
(($# == 2)) || { echo "usage: $0 OBJDUMP PROGRAM.exe" >&2 && exit 2; }
headers=$("$1" -p "$2")
if ! grep -qx '[[:space:]]*TERMINAL_SERVICE_AWARE' <<<"$headers"; then
  echo "$2 is not marked Terminal Server aware (link it with -Wl,--tsaware)"
  exit 1
fi
echo "$(basename "$2") is marked Terminal Server aware"
