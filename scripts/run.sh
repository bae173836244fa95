#!/bin/bash
# Builds quellnet.exe and starts it under Wine: the 32-bit program under
# 32-bit Wine where this machine can execute 32-bit code, else the 64-bit
# program under 64-bit Wine (QUELLNET_ARCH=x86 or x64 chooses). It says which.
#
#   scripts/run.sh
#
# Installs what is missing first (scripts/install-deps.sh).
#
# With a display ($DISPLAY set and answering): the program runs on it in the prefix
# build/wine/run, which keeps its settings between runs like a user's
# profile; the script returns when the program ends.
#
# Without a display: the program runs on a private virtual display, the
# script saves a screenshot of its window to build/screenshots/quellnet.png,
# says so, closes the program and ends.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

"$QUELLNET_SCRIPTS/install-deps.sh"
if [[ $QUELLNET_ARCH == x86 ]]; then
  say "this machine runs 32-bit Windows programs under Wine: using the 32-bit (x86) quellnet.exe"
else
  say "using the 64-bit (x64) quellnet.exe under 64-bit Wine"
fi
build_program

if [[ -n ${DISPLAY:-} ]] && ! xdpyinfo >/dev/null 2>&1; then
  say "the display $DISPLAY does not answer; running without it"
  unset DISPLAY
fi

if [[ -n ${DISPLAY:-} ]]; then
  export WINEPREFIX=$QUELLNET_BUILD_DIR/wine/run-$QUELLNET_ARCH
  # Ordinary windows on the user's desktop; links open the user's browser.
  "$QUELLNET_SCRIPTS/wine-prefix.sh" "$WINEPREFIX" --no-desktop --open-links \
    --program-dir "$(program_dir "$QUELLNET_ARCH")"
  say "starting Quellnet on $DISPLAY (close its window, or use the tray menu, to end it)"
  exec "$QUELLNET_WINE" 'C:\Quellnet\quellnet.exe'
fi

build_driver
start_headless_session run-headless
say "no display: starting Quellnet on a virtual display ($DISPLAY)"
start_program
screenshot=$QUELLNET_BUILD_DIR/screenshots/quellnet.png
capture_window "$screenshot"
driver close 30 || say "Quellnet did not close by itself; ending it"
say "the $QUELLNET_ARCH Quellnet started and showed its window; screenshot saved to $screenshot"
