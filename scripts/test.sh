#!/bin/bash
# Builds everything and runs every test; exits non-zero when anything fails.
#
#   scripts/test.sh
#
# 1. installs the packages that are missing (scripts/install-deps.sh),
# 2. builds the native logic with its unit tests, both programs (presets
#    windows-x86 and windows-x64) and the end-to-end tests of each
#    architecture it tests,
# 3. runs the native unit tests, the checks of the program files (no Wine
#    needed: each program's manifest, that it and the installer's helper
#    import only libraries Windows takes from its own folder, and the 32-bit
#    ones' imports against Windows XP SP3), then the end-to-end suite against
#    the 64-bit program under 64-bit Wine, and against the 32-bit program
#    under 32-bit Wine where this machine can execute 32-bit code. Each test
#    program runs in its own copy of a throw-away prefix on its own Xvfb
#    display (see tests/e2e/CMakeLists.txt and scripts/wine-exec.sh). After
#    each architecture's suite, that architecture's MSI is installed,
#    upgraded and uninstalled under the same Wine (tests/package/msi_test.sh).
# 4. runs the command that runs the suite on Windows itself
#    (scripts/windows-test.cmd) once, under Wine's cmd against the first
#    architecture tested, and shows the cases that Wine skipped and why.
#
# It says at the start which architectures it tests and why, and its last
# line says which it tested. Build trees go to build/ (or
# $QUELLNET_BUILD_DIR). QUELLNET_JOBS sets the parallelism of builds and tests
# (default 2); QUELLNET_ARCHS=x64 forces the 64-bit-only path.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

started=$SECONDS
jobs=${QUELLNET_JOBS:-2}
build=$QUELLNET_BUILD_DIR
cd "$QUELLNET_ROOT"

read -r -a archs <<<"$(test_archs)"
if [[ -n ${QUELLNET_ARCHS:-} ]]; then
  say "testing the end-to-end suite on: ${archs[*]} (chosen by QUELLNET_ARCHS)"
elif host_runs_x86; then
  say "this machine executes 32-bit code: testing the end-to-end suite on x64 and x86"
else
  say "this machine cannot execute 32-bit code (32-bit Wine cannot start here):" \
    "testing the end-to-end suite on x64 only; the 32-bit program is built and import-checked"
fi

"$QUELLNET_SCRIPTS/install-deps.sh"

say "building the native logic and unit tests"
cmake --preset native -B "$build/native" >/dev/null
cmake --build "$build/native" -j "$jobs"

for arch in x86 x64; do
  say "building the $arch quellnet.exe"
  cmake --preset "windows-$arch" -B "$build/windows-$arch" >/dev/null
  cmake --build "$build/windows-$arch" -j "$jobs"
done

# The tests preset of each architecture; the x86 one always, for the import
# check, even where its end-to-end programs cannot run.
configure_tests() {
  cmake --preset "windows-tests-$1" -B "$build/windows-tests-$1" \
    -DQUELLNET_PROGRAM_DIR="$(program_dir "$1")" >/dev/null
}
for arch in "${archs[@]}"; do
  say "building the $arch end-to-end tests"
  configure_tests "$arch"
  cmake --build "$build/windows-tests-$arch" -j "$jobs"
done
if [[ " ${archs[*]} " != *" x86 "* ]]; then
  configure_tests x86
  cmake --build "$build/windows-tests-x86" -j "$jobs" --target xp_imports_probe
fi

failed=()
tested=("native unit tests")
say "running the native unit tests"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs" || failed+=("native unit tests")

# Checks of the program files that need no Wine: the manifest's architecture,
# the libraries imported (both programs and their helpers) and the 32-bit
# ones' imports against Windows XP SP3.
for arch in x86 x64; do
  [[ -f $build/windows-tests-$arch/CTestTestfile.cmake ]] || configure_tests "$arch"
  say "checking the $arch program files (manifest, system libraries$([[ $arch == x86 ]] && echo ", XP imports"))"
  ctest --test-dir "$build/windows-tests-$arch" --output-on-failure -L static ||
    failed+=("$arch program file checks")
done
tested+=("program file checks")

for arch in "${archs[@]}"; do
  say "running the end-to-end tests of the $arch program under $([[ $arch == x64 ]] && echo 64 || echo 32)-bit Wine"
  # The display of the caller (if any) is never used: each test starts its own Xvfb.
  env -u DISPLAY ctest --test-dir "$build/windows-tests-$arch" --output-on-failure -j "$jobs" -L e2e ||
    failed+=("$arch end-to-end tests")
  tested+=("$arch end-to-end tests")
  say "installing, upgrading and uninstalling the $arch MSI under Wine"
  env -u DISPLAY tests/package/msi_test.sh "$arch" || failed+=("$arch package test")
  tested+=("$arch package test")
done

# The one command that runs the suite on Windows itself (scripts/windows-test.cmd),
# once, through Wine's cmd in a throw-away prefix with the built programs, so
# that the command is tested too; it lists the cases Wine skips, with their
# reasons. It runs every case once more, the programs one after another in
# one session as on Windows; that costs about a minute and a half.
suite_arch=${archs[0]}
suite=$build/windows-suite-$suite_arch
say "running scripts\\windows-test.cmd under Wine's cmd against the $suite_arch program"
rm -rf "$suite" && mkdir -p "$suite/run"
cp -p scripts/windows-test.cmd "$suite/run/"
cp -pR "$(program_dir "$suite_arch")" "$suite/run/program"
cp -pR "$build/windows-tests-$suite_arch/bin" "$suite/run/tests"
if env -u DISPLAY QUELLNET_ARCH="$suite_arch" \
  QUELLNET_WINE_PREFIX="$build/windows-tests-$suite_arch/wine/base" \
  QUELLNET_WINE_PRIVATE="$suite/prefix" QUELLNET_WINE_TIMEOUT=1200 \
  "$QUELLNET_SCRIPTS/wine-exec.sh" "$suite/run/windows-test.cmd" --disposable-machine \
  'C:\run\program' 'C:\run\tests' >"$suite/output.txt" 2>&1; then
  sed -n '/^==> skipped cases/,$p' "$suite/output.txt" | tr -d '\r'
else
  tr -d '\r' <"$suite/output.txt"
  failed+=("the Windows command under Wine")
fi
tested+=("the Windows command under Wine ($suite_arch)")

untested=()
for arch in x86 x64; do
  [[ " ${archs[*]} " == *" $arch "* ]] ||
    untested+=("$arch end-to-end and package tests (not runnable on this machine)")
done

elapsed=$((SECONDS - started))
summary="tested: ${tested[*]/%/;}"
summary=${summary%;}
((${#untested[@]})) && summary+="; not tested: ${untested[*]}"
if ((${#failed[@]})); then
  printf 'FAILED: %s (%d min %02d s); %s\n' "${failed[*]}" $((elapsed / 60)) $((elapsed % 60)) "$summary"
  exit 1
fi
printf 'all tests passed (%d min %02d s); %s\n' $((elapsed / 60)) $((elapsed % 60)) "$summary"
