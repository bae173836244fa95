#!/bin/bash
# Builds the switch benchmark and runs it under Wine: one click of the
# protection switch, from the click to the status shown, against the stand-in
# service's own stop time. Prints figures; not a test.
#
#   bench/switch/run.sh [ROUNDS]      (default 10 rounds per stop time)
#
# It measures the build of QUELLNET_ARCH (x86 where this machine runs 32-bit
# code, else x64; see scripts/common.sh) and says which.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

rounds=${1:-10}
"$QUELLNET_SCRIPTS/install-deps.sh"
build_program

tests=$(tests_dir)
build_test_targets switch_bench >/dev/null

base=$QUELLNET_BUILD_DIR/wine/bench-switch-$QUELLNET_ARCH-base
prepare_bench_prefix "$base" ""
say "measuring the $QUELLNET_ARCH program ($rounds rounds per stop time)"
QUELLNET_WINE_PREFIX=$base \
  QUELLNET_WINE_PRIVATE=$QUELLNET_BUILD_DIR/wine/bench-switch-$QUELLNET_ARCH \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$tests/bin/switch_bench.exe" "$rounds"
