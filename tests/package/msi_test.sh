#!/bin/bash
# Installs, upgrades and uninstalls the MSI of one architecture under Wine,
# silently, the way an administrator deploys it, and checks what each step
# leaves behind. scripts/test.sh runs it for every architecture the machine
# can run.
#
#   tests/package/msi_test.sh ARCH
#
# Needs the program of ARCH (preset windows-ARCH) and the window driver
# (preset windows-tests-ARCH, target quellnet_driver) built. It builds two
# MSIs around the same program with scripts/package.sh: the project version
# and one a patch level higher. Everything happens in a fresh copy of a
# throw-away prefix (scripts/session.sh: no drive to the host) on a private
# Xvfb; the copy is kept when a check fails.
#
#  1. install: program and pictures in %LOCALAPPDATA%\Programs\Quellnet, the
#     Start-menu shortcut, the Programs-and-Features entry;
#  2. the installed program, started with "Run at Startup" and "Run
#     Minimized" stored, closes: the Run value starts the installed program;
#  3. the newer version is installed over the program running from its
#     shortcut, whose stored options were deleted meanwhile: the program was
#     closed the normal way (its unload saved the options again) and the Run
#     value is still there;
#  4. uninstall while the program runs hidden in the tray: it ends by its own
#     close (exit code 0), and no file, folder, shortcut, Run value, settings
#     key or Programs-and-Features entry of Quellnet is left, while another
#     program's Run value is.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$QUELLNET_SCRIPTS/session.sh"

(($# == 1)) || die "usage: $0 x86|x64"
use_wine "$1"
arch=$1
work=$QUELLNET_BUILD_DIR/package-test-$arch
[[ -f $(tests_dir)/bin/quellnet_driver.exe ]] ||
  die "no window driver (build the windows-tests-$arch preset first)"

failures=0
check() {
  "${@:2}" && printf '  ok    %s\n' "$1" && return
  printf '  FAIL  %s\n' "$1"
  failures=$((failures + 1))
  return 1
}


# ---- the two packages
version=$(sed -n 's/^project(quellnet VERSION \([0-9.]*\).*/\1/p' "$QUELLNET_ROOT/CMakeLists.txt")
newer=${version%.*}.$((${version##*.} + 1))
rm -rf "$work/msi"
mkdir -p "$work"
for v in "$version" "$newer"; do
  "$QUELLNET_SCRIPTS/package.sh" --arch "$arch" --version "$v" --output "$work/msi" \
    >"$work/package.log" 2>&1 || die "could not build the $v package: $(cat "$work/package.log")"
done
product_code() {
  msiinfo export "$work/msi/Quellnet-$1-$arch.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'
}
old_code=$(product_code "$version")
new_code=$(product_code "$newer")

# ---- a fresh prefix with the driver on its own display
start_headless_session package-test
cp -p "$work"/msi/*.msi "$WINEPREFIX/drive_c/run/"
# A working directory that Wine can name (no drive maps the host).
cd "$WINEPREFIX/drive_c" || die "no drive C: in $WINEPREFIX"
# One wineserver for all the short Wine calls below.
wineserver -p

quiet_wine() { wine "$@" 2>/dev/null | tr -d '\r'; }
msiexec() { timeout --kill-after=5 120 "$QUELLNET_WINE" msiexec "$@" /qn; }
# The data of a registry value, or nothing (status 1) when it is absent.
reg_value() {
  quiet_wine reg query "$1" /v "$2" | sed -n "s/^    $2    REG_[A-Z_]*    //p" | grep .
}
uninstall_entry() {
  reg_value "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" "$2" ||
    reg_value "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" "$2"
}
equals() { [[ $1 == "$2" ]]; }
not() { ! "$@" >/dev/null; }

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
options_key='HKCU\Software\Quellnet\Options'
local_appdata=$(quiet_wine cmd /c echo %LOCALAPPDATA%)
app_data=$(quiet_wine cmd /c echo %APPDATA%)
program=$local_appdata\\Programs\\Quellnet\\quellnet.exe
shortcut="$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Quellnet.lnk"
unix_path() { quiet_wine winepath -u "$1"; }
other_tool='"C:\Tools\other.exe" /tray'


# ---- 1. install
say "$arch package: installing $version"
msiexec /i "C:\\run\\Quellnet-$version-$arch.msi" || die "the installation failed"
check "program and pictures installed" test -f "$(unix_path "$program")" \
  -a -f "$(unix_path "${program%\\*}\\green.gif")" -a -f "$(unix_path "${program%\\*}\\red.gif")"
check "Start-menu shortcut" test -f "$(unix_path "$shortcut")"
check "Programs and Features: this version" equals "$(uninstall_entry "$old_code" DisplayVersion)" \
  "$version"
quiet_wine reg add "$run_key" /v OtherTool /d "$other_tool" /f >/dev/null

# ---- 2. run at startup
say "$arch package: closing the installed program with \"Run at Startup\" on"
for option in StartUp HideOnStart; do
  quiet_wine reg add "$options_key" /v $option /d 1 /f >/dev/null
done
wine "$program" >/dev/null 2>&1 &
driver wait-running 60 && driver close 30 || die "the installed program did not start and close"
wait $!
check "Run value starts the installed program" equals "$(reg_value "$run_key" Quellnet)" "\"$program\""

# ---- 3. upgrade over the running program
say "$arch package: installing $newer over the running program"
wine start "$shortcut" >/dev/null 2>&1
driver wait-running 60 || die "the shortcut did not start the program"
quiet_wine reg delete 'HKCU\Software\Quellnet' /f >/dev/null
msiexec /i "C:\\run\\Quellnet-$newer-$arch.msi" || die "the upgrade failed"
check "program closed by the upgrade" not driver wait-running 1 2>/dev/null
check "closed the normal way: its unload saved the options" \
  equals "$(reg_value "$options_key" StartUp)/$(reg_value "$options_key" HideOnStart)" 1/1
check "Run value kept" equals "$(reg_value "$run_key" Quellnet)" "\"$program\""
check "Programs and Features: the new version" \
  equals "$(uninstall_entry "$new_code" DisplayVersion)" "$newer"
check "Programs and Features: the old version gone" not uninstall_entry "$old_code" DisplayName

# ---- 4. uninstall while it runs hidden in the tray
say "$arch package: uninstalling while the program runs in the tray"
# Wine's process of the program ends with the program's exit code.
wine "$program" >/dev/null 2>&1 &
program_pid=$!
driver wait-running 60 || die "the installed program did not start"
msiexec /x "C:\\run\\Quellnet-$newer-$arch.msi" || die "the uninstall failed"
check "program closed by the uninstall" not driver wait-running 1 2>/dev/null || wineserver -k
wait "$program_pid"
exit_code=$?
check "closed the normal way (exit code 0)" equals "$exit_code" 0
leftovers=$(find "$WINEPREFIX/drive_c/users" -ipath '*quellnet*')
check "no file, folder or shortcut of Quellnet left${leftovers:+: $leftovers}" test -z "$leftovers"
check "no Run value left" not reg_value "$run_key" Quellnet
check "no HKCU\\Software\\Quellnet left" not quiet_wine reg query 'HKCU\Software\Quellnet'
check "another program's Run value untouched" equals "$(reg_value "$run_key" OtherTool)" "$other_tool"
check "Programs and Features: no entry left" not uninstall_entry "$new_code" DisplayName

((failures)) && die "$arch package: $failures check(s) failed; the prefix is kept in $WINEPREFIX"
stop_wine
rm -rf "$WINEPREFIX"
say "$arch package: install, upgrade and uninstall passed"
