#!/bin/bash
# Makes a throw-away Wine prefix for running quellnet.exe and its tests, of
# the architecture selected by QUELLNET_ARCH (see common.sh): a 32-bit prefix
# for x86, a 64-bit one for x64.
#
#   scripts/wine-prefix.sh PREFIX [--program-dir DIR] [--no-desktop] [--open-links]
#
# The prefix is initialised once (wineboot --init, then wineserver -w so that
# nothing is still writing the registry when the prefix is copied or used);
# later calls only refresh the program copy. What it holds:
#
#  - No drive maps the host: dosdevices/z: (which maps "/") is removed, and the
#    user folders that Wine links to the host's home directory (Desktop,
#    Documents, ...) become plain folders inside the prefix.
#  - No crash dialog (WineDbg ShowCrashDialog=0), no Mono/Gecko installer, and
#    winemenubuilder is off, so nothing is written to the host's menus.
#  - Wine's own fonts, so that "MS Sans Serif" is the real bitmap font.
#  - A virtual desktop of 1024x768 ("Default"), unless --no-desktop. Under Xvfb
#    there is no window manager; inside a Wine desktop Wine itself draws the
#    title bars, decides which window is in the foreground, minimises windows
#    and shows the notification area, the same way on every run and machine.
#    That makes the window tests and screenshots deterministic.
#  - Web links open nothing (winebrowser is disabled and the http/https
#    handlers removed), unless --open-links: a test click on the web link must
#    never reach a browser on the host.
#  - With --program-dir DIR: the files of DIR (quellnet.exe, green.gif,
#    red.gif) copied to C:\Quellnet, replacing an older copy.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() { die "usage: $0 PREFIX [--program-dir DIR] [--no-desktop] [--open-links]"; }

(($# >= 1)) || usage
prefix=$1
shift
program_dir=
desktop=1
open_links=0
while (($#)); do
  case $1 in
    --program-dir)
      (($# >= 2)) || usage
      program_dir=$2
      shift 2
      ;;
    --no-desktop) desktop=0 && shift ;;
    --open-links) open_links=1 && shift ;;
    *) usage ;;
  esac
done

[[ $prefix == /* ]] || prefix=$PWD/$prefix
export WINEPREFIX=$prefix
# winemenubuilder would write .desktop files into the host's home directory.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
stamp=$prefix/.quellnet-prefix
wanted="layout=2 arch=$QUELLNET_ARCH desktop=$desktop open_links=$open_links"

if [[ ! -f $stamp || $(<"$stamp") != "$wanted" ]]; then
  say "initialising the $WINEARCH Wine prefix $prefix"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  # wineboot needs no display; unset it so that nothing shows up on the user's.
  env -u DISPLAY "$QUELLNET_WINE" wineboot --init >/dev/null 2>&1 || die "wineboot --init failed in $prefix"
  wineserver -w

  # Plain folders instead of links to the host's home directory.
  while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir -p "$link"
  done < <(find "$prefix/drive_c" -type l -print0)
  rm -f "$prefix/dosdevices/z:"

  # Wine's own fonts (MS Sans Serif, Tahoma, Marlett for the title-bar
  # buttons, ...) come in /usr/share/wine/fonts, where this Wine does not
  # look; in the prefix's Fonts folder it finds them.
  if [[ -d /usr/share/wine/fonts ]]; then
    cp -p /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
  fi

  settings=$prefix/drive_c/quellnet-settings.reg
  {
    printf 'REGEDIT4\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n'
    printf '"mscoree"=""\n"mshtml"=""\n"winemenubuilder.exe"=""\n'
    if ((!open_links)); then
      printf '"winebrowser.exe"=""\n'
    fi
    printf '\n'
    if ((desktop)); then
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n'
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="1024x768"\n\n'
    fi
    if ((!open_links)); then
      for scheme in http https ftp mailto; do
        printf '[-HKEY_CLASSES_ROOT\\%s\\shell]\n\n' "$scheme"
      done
    fi
  } >"$settings"
  env -u DISPLAY "$QUELLNET_WINE" reg import 'C:\quellnet-settings.reg' >/dev/null 2>&1 ||
    die "could not import the prefix settings"
  rm -f "$settings"
  wineserver -w
  printf '%s' "$wanted" >"$stamp"
fi

# Wine may bring the drive back when it updates the prefix; never let it stay.
rm -f "$prefix/dosdevices/z:"

if [[ -n $program_dir ]]; then
  [[ -f $program_dir/quellnet.exe ]] || die "no quellnet.exe in $program_dir (build the 'windows' preset first)"
  rm -rf "$prefix/drive_c/Quellnet"
  mkdir -p "$prefix/drive_c/Quellnet"
  cp -p "$program_dir"/* "$prefix/drive_c/Quellnet/"
fi
