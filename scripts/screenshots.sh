#!/bin/bash
# Takes the README's screenshots: starts the real quellnet.exe under Wine on
# a private Xvfb, shows each tab page in turn and saves the window as
#
#   docs/screenshots/main.png, preferences.png, internet-options.png
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]
#
# The program starts in a fresh copy of the prefix (no stored options), so the
# pictures show the window as a first run shows it.
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
start_program

pages=(main preferences internet-options)
for index in "${!pages[@]}"; do
  driver wait-window 60 >/dev/null || die "the Quellnet window did not appear"
  driver select-page "$index" || die "could not show page $index"
  capture_window "$output/${pages[index]}.png"
  say "saved $output/${pages[index]}.png"
done
driver close 30 || die "Quellnet did not close"
