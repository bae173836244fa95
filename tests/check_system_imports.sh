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

# Known on XP and on every version since. msvcrt is listed from Vista on and,
# on XP, known as a library that listed ones import; ntdll is mapped into
# every process before the program is.
known=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll \
rpcrt4.dll shell32.dll user32.dll "
# The manifest's reference to the common controls, on one line.
reference=$(tr '\r\n\t' '   ' <"$2" |
  grep -a -o '<assemblyIdentity[^>]*"Microsoft\.Windows\.Common-Controls"[^>]*>' || true)
[[ $reference == *'version="6.'* && $reference == *'publicKeyToken="6595b64144ccf1df"'* ]] &&
  known+="comctl32.dll "

imported=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr -d '\r' | tr 'A-Z' 'a-z' | sort -u)
[[ -n $imported ]] || { echo "error: found no imports in $2; is it a Windows program?" >&2 && exit 1; }
risky=$(for library in $imported; do [[ $known == *" $library "* ]] || echo "$library"; done)
if [[ -n $risky ]]; then
  printf '%s imports libraries that Windows may load from its own folder:\n%s\n' "$2" "$risky"
  echo "Load them at run time by their full path in the system folder (optional_functions_win32.h)."
  exit 1
fi
echo "$(basename "$2") imports only libraries that Windows takes from its own folder:" $imported
