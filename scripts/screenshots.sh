#!/bin/bash
# Takes the README's screenshots: starts the real quellnet.exe under Wine on
# a private Xvfb, shows each tab page in turn and saves the window, once on a
# screen of 96 DPI (100 %) and once on one of 144 DPI (150 %), as
#
#   docs/screenshots/main.png, preferences.png, internet-options.png
#   docs/screenshots/main-144dpi.png, preferences-144dpi.png, ...
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]
#
# The program starts in a fresh copy of the prefix (no stored options), so the
# pictures show the window as a first run shows it. The screen's DPI is the
# user's LogPixels, which Wine reads as each program starts.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

output=${1:-$QUELLNET_ROOT/docs/screenshots}
[[ $output == /* ]] || output=$PWD/$output

"$QUELLNET_SCRIPTS/install-deps.sh"
build_program
build_driver
start_headless_session screenshots

pages=(main preferences internet-options)
for dpi in 96 144; do
  suffix=$([[ $dpi == 96 ]] || echo "-${dpi}dpi")
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    die "could not set the screen to $dpi DPI"
  start_program
  for index in "${!pages[@]}"; do
    driver wait-window 60 >/dev/null || die "the Quellnet window did not appear"
    driver select-page "$index" || die "could not show page $index"
    capture_window "$output/${pages[index]}$suffix.png"
    say "saved $output/${pages[index]}$suffix.png"
  done
  driver close 30 || die "Quellnet did not close"
done
