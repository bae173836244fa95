#!/bin/bash
# Start-up benchmark: how long quellnet.exe takes under Wine until its window
# is shown, against the floor (bench/startup/floor.cpp: only the platform work
# its window needs; goal at most 1.10 times as long) and against a program
# that only opens an empty window (goal at most 1.30 times), with file sizes
# and private memory. Prints figures; not a test, and not part of
# scripts/test.sh.
#
#   bench/startup/run.sh [RUNS]      (default 7 runs of each program)
#
# It measures the program of QUELLNET_ARCH (x86 where this machine runs 32-bit
# code, else x64; see scripts/common.sh) and says which.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

runs=${1:-7}
"$QUELLNET_SCRIPTS/install-deps.sh"
build_program

tests=$(tests_dir)
build_test_targets empty_window floor startup_bench

"$QUELLNET_SCRIPTS/wine-prefix.sh" "$QUELLNET_BUILD_DIR/wine/bench-$QUELLNET_ARCH-base" \
  --program-dir "$(program_dir "$QUELLNET_ARCH")"
say "measuring the $QUELLNET_ARCH program ($runs runs each)"
QUELLNET_WINE_PREFIX=$QUELLNET_BUILD_DIR/wine/bench-$QUELLNET_ARCH-base \
  QUELLNET_WINE_PRIVATE=$QUELLNET_BUILD_DIR/wine/bench-$QUELLNET_ARCH \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$tests/bin/startup_bench.exe" \
  'C:\Quellnet\quellnet.exe' 'C:\run\floor.exe' 'C:\run\empty_window.exe' "$runs"
