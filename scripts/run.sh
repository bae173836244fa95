#!/bin/bash
# Builds quellnet.exe and starts it under Wine.
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
build_program

if [[ -n ${DISPLAY:-} ]] && ! xdpyinfo >/dev/null 2>&1; then
  say "the display $DISPLAY does not answer; running without it"
  unset DISPLAY
fi

if [[ -n ${DISPLAY:-} ]]; then
  export WINEPREFIX=$QUELLNET_BUILD_DIR/wine/run
  # Ordinary windows on the user's desktop; links open the user's browser.
  "$QUELLNET_SCRIPTS/wine-prefix.sh" "$WINEPREFIX" --no-desktop --open-links \
    --program-dir "$QUELLNET_BUILD_DIR/windows/bin"
  say "starting Quellnet on $DISPLAY (close its window, or use the tray menu, to end it)"
  exec wine 'C:\Quellnet\quellnet.exe'
fi

build_driver
start_headless_session run-headless
say "no display: starting Quellnet on a virtual display ($DISPLAY)"
start_program
screenshot=$QUELLNET_BUILD_DIR/screenshots/quellnet.png
capture_window "$screenshot"
driver close 30 || say "Quellnet did not close by itself; ending it"
say "Quellnet started and showed its window; screenshot saved to $screenshot"
