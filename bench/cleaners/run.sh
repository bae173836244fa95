#!/bin/bash
# Builds the cleaner benchmark and runs it under Wine in a throw-away prefix
# of its own; the trees it deletes live on that prefix's C: drive.
#
#   bench/cleaners/run.sh [ROUNDS [FILES]]
#
# It measures the build of QUELLNET_ARCH (x86 where this machine runs 32-bit
# code, else x64; see scripts/common.sh) and says which.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

build=$QUELLNET_BUILD_DIR/bench-cleaners-$QUELLNET_ARCH
triple=$([[ $QUELLNET_ARCH == x64 ]] && echo x86_64 || echo i686)
cmake -S "$QUELLNET_ROOT/bench/cleaners" -B "$build" -G Ninja \
  --toolchain "$QUELLNET_ROOT/cmake/mingw-$triple-win32.cmake" >/dev/null
cmake --build "$build" -j2 >/dev/null

export QUELLNET_WINE_PREFIX=$build/wine
"$QUELLNET_SCRIPTS/wine-prefix.sh" "$QUELLNET_WINE_PREFIX" --no-desktop
export QUELLNET_WINE_TIMEOUT=${QUELLNET_WINE_TIMEOUT:-3000}
export QUELLNET_WINE_DISPLAY=inherit  # the benchmark opens no window
"$QUELLNET_SCRIPTS/wine-exec.sh" "$build/cleaner_bench.exe" "$@"
