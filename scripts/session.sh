# Running quellnet.exe under Wine for run.sh and screenshots.sh; sourced
# after common.sh, never run.

build_program() {
  say "building quellnet.exe"
  cmake --preset windows -B "$QUELLNET_BUILD_DIR/windows" >/dev/null
  cmake --build "$QUELLNET_BUILD_DIR/windows" -j "${QUELLNET_JOBS:-2}"
}

# The remote control (tests/e2e/harness/driver) that finds the window,
# switches its pages and closes it.
build_driver() {
  say "building the window driver"
  cmake --preset windows-tests -B "$QUELLNET_BUILD_DIR/windows-tests" \
    -DQUELLNET_PROGRAM_DIR="$QUELLNET_BUILD_DIR/windows/bin" >/dev/null
  cmake --build "$QUELLNET_BUILD_DIR/windows-tests" -j "${QUELLNET_JOBS:-2}" \
    --target quellnet_driver
}

# A fresh copy of the prefix NAME (initialised once, with the program and the
# driver on C:), on a private Xvfb of 1024x768 that the Wine desktop fills.
# Sets WINEPREFIX and DISPLAY; end_headless_session ends it all.
start_headless_session() {
  local name=$1 base
  base=$QUELLNET_BUILD_DIR/wine/$name-base
  "$QUELLNET_SCRIPTS/wine-prefix.sh" "$base" --program-dir "$QUELLNET_BUILD_DIR/windows/bin"
  export WINEPREFIX=$QUELLNET_BUILD_DIR/wine/$name
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
  mkdir -p "$WINEPREFIX/drive_c/run"
  cp -p "$QUELLNET_BUILD_DIR/windows-tests/bin/quellnet_driver.exe" "$WINEPREFIX/drive_c/run/"
  trap end_headless_session EXIT
  start_xvfb 1024x768x24
}

end_headless_session() {
  stop_wine
  stop_xvfb
}

# Starts C:\Quellnet\quellnet.exe in the background; its output goes to
# $QUELLNET_BUILD_DIR/quellnet-wine.log.
start_program() {
  wine 'C:\Quellnet\quellnet.exe' >"$QUELLNET_BUILD_DIR/quellnet-wine.log" 2>&1 &
}

driver() {
  timeout --kill-after=5 60 wine 'C:\run\quellnet_driver.exe' "$@" | tr -d '\r'
}

# Saves the main window, title bar and frame included, as a PNG.
capture_window() {
  local file=$1 geometry
  geometry=$(driver wait-window 60) || die "the Quellnet window did not appear"
  # Give the last page switch's repaint a moment to reach the X server.
  sleep 0.5
  mkdir -p "$(dirname "$file")"
  import -window root -crop "$geometry" +repage "$file" || die "could not take a screenshot"
}
