#!/bin/bash
# Fails when a Windows program imports a function that Windows XP SP3 lacks.
#
#   tests/check_xp_imports.sh OBJDUMP PROGRAM.exe ALLOW_LIST
#
# OBJDUMP is the mingw objdump (i686-w64-mingw32-objdump). ALLOW_LIST holds
# one "dll!Function" a line (DLL name in lower case, "#" starts a comment);
# every function there exists in XP SP3's own copy of that DLL. An import by
# ordinal is written "dll!#ordinal".
set -euo pipefail

(($# == 3)) || { echo "usage: $0 OBJDUMP PROGRAM.exe ALLOW_LIST" >&2 && exit 2; }
objdump=$1 program=$2 allow_list=$3

# objdump -p prints, per DLL, "DLL Name: X.dll" and then one line per
# import: "<tab>vma<tab> hint  Name", or "<tab>vma<tab> <ordinal>" by ordinal.
imports=$("$objdump" -p "$program" | awk '
  /^[ \t]*DLL Name:/ { dll = tolower($3); next }
  /^[ \t]*$/ { next }
  dll != "" && /^\t[0-9a-f]+\t/ {
    if (NF >= 3) { print dll "!" $3 } else if (NF == 2) { print dll "!#" $2 }
    next
  }
  /^[^\t]/ { dll = "" }
' | sort -u)

[[ -n $imports ]] || { echo "error: found no imports in $program; is it a Windows program?" >&2 && exit 1; }

# A comment is a "#" at the start of a line or after a blank ("dll!#17" is an entry).
allowed=$(sed -e 's/^#.*$//' -e 's/[[:space:]]#.*$//' -e 's/[[:space:]]//g' -e '/^$/d' \
  "$allow_list" | awk -F'!' '{ print tolower($1) "!" $2 }' | sort -u)

missing=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$allowed"))

if [[ -n $missing ]]; then
  echo "$program imports $(printf '%s\n' "$missing" | wc -l) function(s) not on the Windows XP SP3 allow-list:"
  printf '  %s\n' $missing
  echo "Use only functions that Windows XP SP3 exports; add one to $(basename "$allow_list") only after checking that it does."
  exit 1
fi
echo "all $(printf '%s\n' "$imports" | wc -l) imports of $(basename "$program") are on the Windows XP SP3 allow-list"
