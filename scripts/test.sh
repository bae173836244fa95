#!/bin/bash
# Builds everything and runs every test; exits non-zero when anything fails.
#
#   scripts/test.sh
#
# 1. installs the packages that are missing (scripts/install-deps.sh),
# 2. builds the presets native (logic + unit tests), windows (quellnet.exe)
#    and windows-tests (the end-to-end tests),
# 3. runs the native unit tests, then the Windows tests under Wine, each test
#    program in its own copy of a throw-away prefix on its own Xvfb display
#    (see tests/e2e/CMakeLists.txt and scripts/wine-exec.sh).
#
# Build trees go to build/ (or $QUELLNET_BUILD_DIR). QUELLNET_JOBS sets the
# parallelism of builds and tests (default 2).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

started=$SECONDS
jobs=${QUELLNET_JOBS:-2}
build=$QUELLNET_BUILD_DIR
cd "$QUELLNET_ROOT"

"$QUELLNET_SCRIPTS/install-deps.sh"

say "building the native logic and unit tests"
cmake --preset native -B "$build/native" >/dev/null
cmake --build "$build/native" -j "$jobs"

say "building quellnet.exe"
cmake --preset windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" -j "$jobs"

say "building the Windows tests"
cmake --preset windows-tests -B "$build/windows-tests" \
  -DQUELLNET_PROGRAM_DIR="$build/windows/bin" >/dev/null
cmake --build "$build/windows-tests" -j "$jobs"

failed=()
say "running the native unit tests"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs" || failed+=("native unit tests")

say "running the Windows tests under Wine"
# The display of the caller (if any) is never used: each test starts its own Xvfb.
env -u DISPLAY ctest --test-dir "$build/windows-tests" --output-on-failure -j "$jobs" ||
  failed+=("Windows tests")

elapsed=$((SECONDS - started))
if ((${#failed[@]})); then
  printf 'FAILED: %s (%d min %02d s)\n' "${failed[*]}" $((elapsed / 60)) $((elapsed % 60))
  exit 1
fi
printf 'all tests passed (%d min %02d s)\n' $((elapsed / 60)) $((elapsed % 60))
