#!/bin/bash
# Takes the user's guide's screenshots (docs/users.md): starts the real
# quellnet.exe under Wine on a private Xvfb, shows each tab page in turn and
# saves the window, on screens of 96, 144 and 192 DPI (100, 150 and
# 200 %), and once more on a black high-contrast scheme at 96 DPI, as
#
#   docs/screenshots/main.png, preferences.png, internet-options.png
#   docs/screenshots/main-144dpi.png, ..., main-192dpi.png, ...
#   docs/screenshots/main-high-contrast.png
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]
#
# The program starts in a fresh copy of the prefix (no stored options), so the
# pictures show the window as a first run shows it. The screen's DPI is the
# user's LogPixels, which Wine reads as each program starts; so are the
# system colours.
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
# At 200 % the window is taller than 768 pixels: a larger screen and Wine
# desktop, set before the desktop first opens.
stop_xvfb
start_xvfb 1280x1024x24
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1 ||
  die "could not size the Wine desktop"

pages=(main preferences internet-options)
# shot DPI FILE-SUFFIX COUNT: starts Quellnet on a screen of DPI and saves its
# first COUNT pages.
shot() {
  local dpi=$1 suffix=$2 count=$3 index
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    die "could not set the screen to $dpi DPI"
  start_program
  for ((index = 0; index < count; index++)); do
    driver wait-window 60 >/dev/null || die "the Quellnet window did not appear"
    driver select-page "$index" || die "could not show page $index"
    capture_window "$output/${pages[index]}$suffix.png"
    say "saved $output/${pages[index]}$suffix.png"
  done
  driver close 30 || die "Quellnet did not close"
}

shot 96 "" 3
shot 144 -144dpi 3
shot 192 -192dpi 3
# A black high-contrast scheme: white text and yellow links on black.
for colour in ButtonFace=0 Window=0 ButtonText=255 WindowText=255 ButtonHilight=255; do
  value=${colour#*=}
  wine reg add 'HKCU\Control Panel\Colors' /v "${colour%=*}" /d "$value $value $value" /f \
    >/dev/null 2>&1 || die "could not set the colour ${colour%=*}"
done
wine reg add 'HKCU\Control Panel\Colors' /v HotTrackingColor /d "255 255 0" /f >/dev/null 2>&1 ||
  die "could not set the link colour"
shot 96 -high-contrast 1
