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
out=$QUELLNET_BUILD_DIR/bench/startup
"$QUELLNET_SCRIPTS/install-deps.sh"
build_program

# The yardsticks are built like quellnet.exe: same compiler, static,
# size-optimised; the floor with the program's own manifest.
out=$out-$QUELLNET_ARCH
mkdir -p "$out"
triple=$([[ $QUELLNET_ARCH == x64 ]] && echo x86_64 || echo i686)-w64-mingw32
compile=("$triple-g++-win32" -std=c++20 -Os -s -static -municode
  -D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -DUNICODE -D_UNICODE -Wall -Wextra -Werror)
"${compile[@]}" -mwindows bench/startup/empty_window.cpp -o "$out/empty_window.exe"
"$triple-windres" -I "$QUELLNET_BUILD_DIR/windows-$QUELLNET_ARCH/src/platform/win32/generated" \
  bench/startup/floor.rc -O coff -o "$out/floor.res"
"${compile[@]}" -mwindows bench/startup/floor.cpp "$out/floor.res" -o "$out/floor.exe" \
  -lcomctl32 -liphlpapi
"${compile[@]}" bench/startup/startup_bench.cpp -o "$out/startup_bench.exe" -lpsapi

"$QUELLNET_SCRIPTS/wine-prefix.sh" "$QUELLNET_BUILD_DIR/wine/bench-$QUELLNET_ARCH-base" \
  --program-dir "$(program_dir "$QUELLNET_ARCH")"
say "measuring the $QUELLNET_ARCH program ($runs runs each)"
QUELLNET_WINE_PREFIX=$QUELLNET_BUILD_DIR/wine/bench-$QUELLNET_ARCH-base \
  QUELLNET_WINE_PRIVATE=$QUELLNET_BUILD_DIR/wine/bench-$QUELLNET_ARCH \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$out/startup_bench.exe" \
  'C:\Quellnet\quellnet.exe' 'C:\run\floor.exe' 'C:\run\empty_window.exe' "$runs"
