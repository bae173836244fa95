#!/bin/bash
# Fails when a Windows program imports a library that Windows may look for in
# the program's own folder first, where a planted file of that name would run
# with the user's rights. The loader takes only the system's known libraries
# (the KnownDLLs of Windows XP and of every later version, and those they
# import in turn) from the system folder whatever the folder holds, and the
# common controls from the side-by-side store when the program's manifest
# asks for version 6 of them by Microsoft's key. Any other library must be
# loaded at run time by its full path.
#
#   tests/check_system_imports.sh OBJDUMP PROGRAM.exe
set -euo pipefail

(($# == 2)) || { echo "usage: $0 OBJDUMP PROGRAM.exe" >&2 && exit 2; }
objdump=$1 program=$2

# In the KnownDLLs of XP and of every version since. msvcrt is listed from
# Vista on and, on XP, known as a library that listed ones import; ntdll is
# mapped into every process before the program is.
known=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll \
oleaut32.dll rpcrt4.dll shell32.dll user32.dll "

imported=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr 'A-Z' 'a-z' |
  tr -d '\r' | sort -u)
[[ -n $imported ]] || { echo "error: found no imports in $program; is it a Windows program?" >&2 && exit 1; }

# The manifest's reference to the common controls, as one line.
common_controls=$(tr '\r\n\t' '   ' <"$program" |
  grep -a -o '<assemblyIdentity[^>]*"Microsoft\.Windows\.Common-Controls"[^>]*>' || true)
if grep -q 'version="6\.' <<<"$common_controls" &&
  grep -q 'publicKeyToken="6595b64144ccf1df"' <<<"$common_controls"; then
  known+="comctl32.dll "
fi

planted_risk=()
for library in $imported; do
  [[ $known == *" $library "* ]] || planted_risk+=("$library")
done
if ((${#planted_risk[@]})); then
  echo "$program imports libraries that Windows may load from the program's own folder:"
  printf '  %s\n' "${planted_risk[@]}"
  echo "Load them at run time by their full path in the system folder (optional_functions_win32.h)."
  exit 1
fi
echo "$(basename "$program") imports only libraries Windows takes from its own folder: $(echo $imported)"
