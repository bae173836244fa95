#!/bin/bash
# Runs one Windows program under Wine; CMake's emulator for the Windows test
# programs, and the scripts' way to run any Windows tool.
#
#   scripts/wine-exec.sh PROGRAM.exe [ARGS...]
#
# PROGRAM.exe is a Linux path. It is copied into the prefix (C:\run\) with
# all else in its folder (helpers that tests start, like the driver, or load,
# like a message hook), and run
# from there, since no drive of the prefix maps the host. A PROGRAM.cmd runs
# through Wine's cmd. The exit code is the program's own; 124 when it ran out
# of time.
#
# Environment:
#   QUELLNET_ARCH          x86 or x64: the Wine to run it with (see common.sh)
#   QUELLNET_WINE_PREFIX   initialised prefix (scripts/wine-prefix.sh); default
#                          $QUELLNET_BUILD_DIR/wine/base-$QUELLNET_ARCH
#   QUELLNET_WINE_PRIVATE  when set, a folder for a private copy of that prefix:
#                          the copy is made fresh before the run and removed
#                          after a passing run (kept after a failing one, to
#                          look into). Test programs run this way cannot disturb
#                          each other through the registry, running programs or
#                          services, and so can run in parallel.
#   QUELLNET_WINE_DISPLAY  "own" (default): run on a private Xvfb started for
#                          this run; "inherit": use $DISPLAY as it is.
#   QUELLNET_WINE_TIMEOUT  seconds before the run is ended (default 300).
#
# However the run ends, every process of the prefix that the run used and the
# Xvfb that it started are ended before this script returns.
#
# In a private copy, the run may delete nothing of the prefix's C: drive
# outside C:\CleanerTests (the cleaners' scratch folders) and no registry key
# of the user outside the few the program itself deletes: the drive and the
# user's keys are listed before and after, and anything gone fails the run.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

(($# >= 1)) || die "usage: $0 PROGRAM.exe|PROGRAM.cmd [ARGS...]"
program=$1
shift
[[ -f $program ]] || die "no such program: $program"

base=${QUELLNET_WINE_PREFIX:-$QUELLNET_BUILD_DIR/wine/base-$QUELLNET_ARCH}
[[ -f $base/.quellnet-prefix ]] || die "Wine prefix $base is not initialised (scripts/wine-prefix.sh)"
timeout_seconds=${QUELLNET_WINE_TIMEOUT:-300}

private=${QUELLNET_WINE_PRIVATE:-}
if [[ -n $private ]]; then
  [[ $private == /* ]] || private=$PWD/$private
  rm -rf "$private"
  mkdir -p "$(dirname "$private")"
  cp -a "$base" "$private" || die "could not copy the prefix to $private"
  export WINEPREFIX=$private
else
  export WINEPREFIX=$base
fi
rm -f "$WINEPREFIX/dosdevices/z:"

cleanup() {
  stop_wine
  stop_xvfb
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

if [[ ${QUELLNET_WINE_DISPLAY:-own} == own ]]; then
  start_xvfb
fi

mkdir -p "$WINEPREFIX/drive_c/run"
name=$(basename "$program")
cp -pR "$(dirname "$program")"/. "$WINEPREFIX/drive_c/run/"

# Every file and folder of C: but the scratch folders, and every key of the
# user (user.reg, written when the wineserver ends) but those the program and
# its tests delete on purpose.
inventory() {
  {
    (cd "$WINEPREFIX/drive_c" && find . -path ./CleanerTests -prune -o -print)
    grep -o '^\[[^]]*\]' "$WINEPREFIX/user.reg" |
      grep -v -E 'TypedURLs|^\[Software\\\\Quellnet|^\[Software\\\\QuellnetTests'
  } | LC_ALL=C sort
}
[[ -n $private ]] && inventory >"$private.before"

interpreter=()
[[ $name == *.cmd ]] && interpreter=(cmd /c)
timeout --kill-after=10 "$timeout_seconds" "$QUELLNET_WINE" "${interpreter[@]}" "C:\\run\\$name" "$@"
status=$?
if ((status == 124)); then
  printf 'error: %s ran out of time (%s s)\n' "$name" "$timeout_seconds" >&2
fi

cleanup
trap - EXIT
if [[ -n $private ]]; then
  gone=$(LC_ALL=C comm -23 "$private.before" <(inventory))
  rm -f "$private.before"
  if [[ -n $gone ]]; then
    printf 'error: %s deleted what no test lets it delete:\n%s\n' "$name" "$gone" >&2
    ((status != 0)) || status=1
  fi
fi
if [[ -n $private ]] && ((status == 0)); then
  rm -rf "$private"
fi
exit "$status"
