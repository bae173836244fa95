#!/bin/bash
# Responsiveness benchmark: while quellnet.exe runs "Clear Cache" on 20,000
# files and while a stand-in "Messenger" service hangs 30 s in its stop, a
# probe sends the window a harmless message every 100 ms and records the
# longest wait for an answer; an end of the session is sent during each, and
# the time of "Clear Cache" is compared. Prints figures; not a test.
#
#   bench/responsiveness/run.sh [ROUNDS [BEFORE_DIR]]
#
# BEFORE_DIR, a folder holding an earlier quellnet.exe of the same
# architecture, is measured in turn with the current build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"
cd "$QUELLNET_ROOT"

rounds=${1:-3}
before=${2:-}
build_program

tests=$(tests_dir)
build_test_targets responsiveness_bench >/dev/null

base=$QUELLNET_BUILD_DIR/wine/bench-responsiveness-$QUELLNET_ARCH-base
prepare_bench_prefix "$base" "$before"
QUELLNET_WINE_PREFIX=$base QUELLNET_WINE_TIMEOUT=${QUELLNET_WINE_TIMEOUT:-3000} \
  QUELLNET_WINE_PRIVATE=$QUELLNET_BUILD_DIR/wine/bench-responsiveness-$QUELLNET_ARCH \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$tests/bin/responsiveness_bench.exe" "$rounds"
