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

tests=$QUELLNET_BUILD_DIR/windows-tests-$QUELLNET_ARCH
cmake --preset "windows-tests-$QUELLNET_ARCH" -B "$tests" >/dev/null
cmake --build "$tests" -j2 --target cleaner_bench >/dev/null

export QUELLNET_WINE_PREFIX=$QUELLNET_BUILD_DIR/wine/bench-cleaners-$QUELLNET_ARCH
"$QUELLNET_SCRIPTS/wine-prefix.sh" "$QUELLNET_WINE_PREFIX" --no-desktop
export QUELLNET_WINE_TIMEOUT=${QUELLNET_WINE_TIMEOUT:-3000}
export QUELLNET_WINE_DISPLAY=inherit  # the benchmark opens no window
"$QUELLNET_SCRIPTS/wine-exec.sh" "$tests/bin/cleaner_bench.exe" "$@"
