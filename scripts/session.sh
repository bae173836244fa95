# Running quellnet.exe under Wine for run.sh and screenshots.sh; sourced
# after common.sh, never run.

# Builds the quellnet.exe of $QUELLNET_ARCH into $(program_dir $QUELLNET_ARCH).
build_program() {
  say "building the $QUELLNET_ARCH quellnet.exe"
  cmake --preset "windows-$QUELLNET_ARCH" -B "$QUELLNET_BUILD_DIR/windows-$QUELLNET_ARCH" >/dev/null
  cmake --build "$QUELLNET_BUILD_DIR/windows-$QUELLNET_ARCH" -j "${QUELLNET_JOBS:-2}"
}

# The remote control (tests/e2e/harness/driver) that finds the window,
# switches its pages and closes it.
build_driver() {
  say "building the window driver"
  build_test_targets quellnet_driver
}

tests_dir() { printf '%s\n' "$QUELLNET_BUILD_DIR/windows-tests-$QUELLNET_ARCH"; }

# Builds TARGET... of the test tree of $QUELLNET_ARCH (the driver, the
# benchmarks), configured against the program of that architecture.
build_test_targets() {
  cmake --preset "windows-tests-$QUELLNET_ARCH" -B "$(tests_dir)" \
    -DQUELLNET_PROGRAM_DIR="$(program_dir "$QUELLNET_ARCH")" >/dev/null
  cmake --build "$(tests_dir)" -j "${QUELLNET_JOBS:-2}" --target "$@"
}

# Readies the benchmark prefix BASE (the program on C:) and, when the folder
# BEFORE is given (not empty), puts the earlier quellnet.exe it holds in
# C:\QuellnetBefore for the benchmark to measure beside the current one.
prepare_bench_prefix() {
  "$QUELLNET_SCRIPTS/wine-prefix.sh" "$1" --program-dir "$(program_dir "$QUELLNET_ARCH")"
  rm -rf "$1/drive_c/QuellnetBefore"
  if [[ -n $2 ]]; then
    mkdir -p "$1/drive_c/QuellnetBefore"
    cp -p "$2"/* "$1/drive_c/QuellnetBefore/"
  fi
}

# A fresh copy of the prefix NAME (initialised once, with the program and the
# driver on C:), on a private Xvfb of 1024x768 that the Wine desktop fills.
# Sets WINEPREFIX and DISPLAY; end_headless_session ends it all.
start_headless_session() {
  local name=$1 base
  base=$QUELLNET_BUILD_DIR/wine/$name-$QUELLNET_ARCH-base
  "$QUELLNET_SCRIPTS/wine-prefix.sh" "$base" --program-dir "$(program_dir "$QUELLNET_ARCH")"
  export WINEPREFIX=$QUELLNET_BUILD_DIR/wine/$name-$QUELLNET_ARCH
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
  mkdir -p "$WINEPREFIX/drive_c/run"
  cp -p "$(tests_dir)/bin/quellnet_driver.exe" "$WINEPREFIX/drive_c/run/"
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
  timeout --kill-after=5 60 "$QUELLNET_WINE" 'C:\run\quellnet_driver.exe' "$@" | tr -d '\r'
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
