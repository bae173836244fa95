#!/bin/bash
# Start-up benchmark: how long quellnet.exe takes under Wine until its window
# is shown, against a program that only opens an empty window (goal: at most
# 1.25 times as long), with file sizes and private memory. Prints figures; not
# a test, and not part of scripts/test.sh.
#
#   bench/startup/run.sh [RUNS]      (default 7 runs of each program)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

runs=${1:-7}
out=$QUELLNET_BUILD_DIR/bench/startup
"$QUELLNET_SCRIPTS/install-deps.sh"
build_program

# Both helpers are built like quellnet.exe: same compiler, static, size-optimised.
mkdir -p "$out"
compile=(i686-w64-mingw32-g++-win32 -std=c++20 -Os -s -static -municode
  -D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -DUNICODE -D_UNICODE -Wall -Wextra -Werror)
"${compile[@]}" -mwindows bench/startup/empty_window.cpp -o "$out/empty_window.exe"
"${compile[@]}" bench/startup/startup_bench.cpp -o "$out/startup_bench.exe" -lpsapi

"$QUELLNET_SCRIPTS/wine-prefix.sh" "$QUELLNET_BUILD_DIR/wine/bench-base" \
  --program-dir "$QUELLNET_BUILD_DIR/windows/bin"
say "measuring ($runs runs each)"
QUELLNET_WINE_PREFIX=$QUELLNET_BUILD_DIR/wine/bench-base \
  QUELLNET_WINE_PRIVATE=$QUELLNET_BUILD_DIR/wine/bench \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$out/startup_bench.exe" \
  'C:\Quellnet\quellnet.exe' 'C:\run\empty_window.exe' "$runs"
