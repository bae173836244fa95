#!/bin/bash
# Builds the cleaner benchmark and runs it under Wine: "Clear Cache" of
# quellnet.exe against a minimal deleter by path and "rd /s /q", on caches
# of 5,000, 20,000 and 40,000 files and a deep tree. Prints figures; not a
# test.
#
#   bench/cleaners/run.sh [ROUNDS [BEFORE_DIR [SHAPE...]]]
#
# BEFORE_DIR, a folder holding an earlier quellnet.exe of the same
# architecture, is measured in the same rounds ("-" for none). It measures
# the build of QUELLNET_ARCH (x86 where this machine runs 32-bit code, else
# x64; see scripts/common.sh) and says which.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

rounds=${1:-3}
before=${2:--}
shift $(($# < 2 ? $# : 2))
build_program

tests=$(tests_dir)
build_test_targets cleaner_bench >/dev/null

base=$QUELLNET_BUILD_DIR/wine/bench-cleaners-$QUELLNET_ARCH-base
prepare_bench_prefix "$base" "$(if [[ $before != - ]]; then printf %s "$before"; fi)"
QUELLNET_WINE_PREFIX=$base QUELLNET_WINE_TIMEOUT=${QUELLNET_WINE_TIMEOUT:-14400} \
  QUELLNET_WINE_PRIVATE=$QUELLNET_BUILD_DIR/wine/bench-cleaners-$QUELLNET_ARCH \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$tests/bin/cleaner_bench.exe" "$rounds" "$@"
