#!/bin/bash
# Installs, upgrades and uninstalls the MSI of one architecture under Wine,
# silently, the way an administrator deploys it, and checks what each step
# leaves behind: the end-to-end path. The helper's rules (which Run values
# name the program, the hand-over around an upgrade) are unit-tested
# (tests/unit/helper_rules_test.cpp). scripts/test.sh runs
# it for every architecture the machine can run.
#
#   tests/package/msi_test.sh ARCH
#
# Needs both programs (presets windows-x86, windows-x64) and the window
# driver of ARCH (preset windows-tests-ARCH, target quellnet_driver) built.
# With scripts/package.sh it builds the MSIs of the project version, and one
# of programs built a patch level higher with another web address. Their
# tables are read with msitools. Everything else happens in a fresh copy of a
# throw-away prefix (scripts/session.sh: no drive to the host) on a private
# Xvfb; the copy is kept when a check fails.
#
#  0. tables: the two architectures' components differ and reuse no retired
#     code (scripts/package.sh checks the File table's versions); no two
#     actions share a sequence number; the launch condition refuses
#     ALLUSERS and SYSTEM; the Run value is forgotten only at a real
#     removal; an upgrade that fails or is cancelled is finished too;
#  1. installing with ALLUSERS=1 is refused, and installs nothing;
#  2. install: program and pictures in %LOCALAPPDATA%\Programs\Quellnet, the
#     Start-menu shortcut, the Programs-and-Features entry; nothing started;
#  3. the newer version is installed over the program started from its
#     shortcut with "Run at Startup" on and minimised into the tray, whose
#     stored options were deleted meanwhile: its unload saved them again and
#     wrote a Run value that starts it, they survive the removal of the old
#     version, the program runs again hidden in the tray, and Programs and
#     Features lists the new version alone, with the newer build's web
#     address;
#  4. uninstall while the program runs hidden in the tray: it ends by its own
#     close (exit code 0), and no file, folder, shortcut, Run value, settings
#     key, upgrade stash or Programs-and-Features entry of Quellnet is left,
#     while another program's Run value is;
#  5. the same version again from another package (the x86 one in the x64
#     prefix where 32-bit code runs, else a rebuild of ARCH's) replaces the
#     installed one over a portable copy of Quellnet that runs shown: that
#     copy runs again, shown, and one entry is listed; its uninstall leaves
#     nothing as in 4, with a stash an earlier upgrade left and a Run value
#     that names the program without quotes and in capitals.
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
equals() { [[ $1 == "$2" ]]; }
not() { ! "$@" >/dev/null 2>&1; }


# ---- the packages, and 0. their tables
version=$(sed -n 's/^project(quellnet VERSION \([0-9.]*\).*/\1/p' "$QUELLNET_ROOT/CMakeLists.txt")
newer=${version%.*}.$((${version##*.} + 1))
newer_address=https://newer.example/quellnet/
second_arch=$([[ $arch == x64 ]] && host_runs_x86 && echo x86 || echo "$arch")
rm -rf "$work/msi" "$work/again" && mkdir -p "$work"
package() {
  "$QUELLNET_SCRIPTS/package.sh" --output "$work/$1" "${@:2}" >"$work/package.log" 2>&1 ||
    die "could not build the package ($*): $(cat "$work/package.log")"
}
package msi --arch "$arch"
QUELLNET_WEB_ADDRESS=$newer_address package msi --arch "$arch" --version "$newer"
package again
msi() { printf '%s\n' "$1/Quellnet-$2-$3.msi"; }
table() { msiinfo export "$work/$(msi "${@:1:3}")" "$4" | tr -d '\r' | awk -F '\t' -v c="$5" "$6"; }
product_code() { table "$@" Property 2 '$1 == "ProductCode" { print $c }'; }
old_code=$(product_code msi "$version" "$arch")
new_code=$(product_code msi "$newer" "$arch")
second_code=$(product_code again "$version" "$second_arch")
components=$(for a in x86 x64; do table again "$version" $a Component 2 'NR > 3 { print $c }'; done)
check "Component table: a component of its own per architecture, no retired code" equals \
  "$(sort -u <<<"$components" | grep -v -c -F '{BF18D056-C4EE-4A32-BC16-7E55BDA70AB8}')" 2
for sequence in InstallExecuteSequence InstallUISequence; do
  check "$sequence: no two actions share a sequence number" test -z \
    "$(table msi "$version" "$arch" $sequence 3 'NR > 3 && $c > 0 { print $c }' | sort | uniq -d)"
  check "$sequence: finish-upgrade also after a failed (-3) or cancelled (-2) upgrade" equals \
    "$(table msi "$version" "$arch" $sequence 3 '$1 ~ /^Finish(Failed|Cancelled)Upgrade$/ { print $c }' | sort | xargs)" "-2 -3"
done
check "LaunchCondition: per user only, never as SYSTEM" equals \
  "$(table msi "$version" "$arch" LaunchCondition 1 '$2 ~ /one user/ { print $c }')" \
  'Installed OR (NOT ALLUSERS AND UserSID <> "S-1-5-18")'
check "the Run value is forgotten at a real removal only" equals \
  "$(table msi "$version" "$arch" InstallExecuteSequence 2 '$1 == "ForgetUserEntries" { print $c }')" \
  'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE'

# ---- a fresh prefix with the driver on its own display
start_headless_session package-test
cp -rp "$work/msi" "$work/again" "$WINEPREFIX/drive_c/run/"
# A working directory that Wine can name (no drive maps the host).
cd "$WINEPREFIX/drive_c" || die "no drive C: in $WINEPREFIX"
# One wineserver for all the short Wine calls below.
wineserver -p

quiet_wine() { wine "$@" 2>/dev/null | tr -d '\r'; }
msiexec() { timeout --kill-after=5 120 "$QUELLNET_WINE" msiexec "$1" "C:\\run\\${2/\//\\}" "${@:3}" /qn; }
# The data of a registry value, or nothing (status 1) when it is absent.
reg_value() {
  quiet_wine reg query "$1" /v "$2" "${@:3}" | sed -n "s/^    $2    REG_[A-Z_]*    //p" | grep .
}
# Wine lists per-user products under HKLM, those of 32-bit packages in its
# 32-bit view; Windows for their user only.
uninstall_entry() {
  local key=Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1
  reg_value "HKLM\\$key" "$2" || reg_value "HKLM\\$key" "$2" /reg:32 || reg_value "HKCU\\$key" "$2"
}
# The entry of product NEW with VERSION and no entry of product OLD.
listed_alone() { equals "$(uninstall_entry "$1" DisplayVersion)" "$2" && not uninstall_entry "$3" DisplayName; }

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
options_key='HKCU\Software\Quellnet\Options'
program=$(quiet_wine cmd /c echo %LOCALAPPDATA%)\\Programs\\Quellnet\\quellnet.exe
shortcut="$(quiet_wine cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs\\Quellnet.lnk"
unix_path() { quiet_wine winepath -u "$1"; }
other_tool='"C:\Tools\other.exe" /tray'
nothing_left() {
  local leftovers
  leftovers=$(find "$WINEPREFIX/drive_c/users" -ipath '*quellnet*')
  check "no file, folder or shortcut of Quellnet left${leftovers:+: $leftovers}" test -z "$leftovers"
  check "no Run value left" not reg_value "$run_key" Quellnet
  check "no HKCU\\Software\\Quellnet left" not quiet_wine reg query 'HKCU\Software\Quellnet'
  check "no upgrade stash left" not quiet_wine reg query 'HKCU\Software\Quellnet Upgrade'
  check "another program's Run value untouched" equals "$(reg_value "$run_key" OtherTool)" "$other_tool"
  check "Programs and Features: no entry left" not uninstall_entry "$1" DisplayName
}


# ---- 1. per machine
say "$arch package: installing $version per machine (ALLUSERS=1)"
check "refused" not msiexec /i "$(msi msi "$version" "$arch")" ALLUSERS=1
check "nothing installed" not uninstall_entry "$old_code" DisplayName

# ---- 2. install
say "$arch package: installing $version"
msiexec /i "$(msi msi "$version" "$arch")" || die "the installation failed"
check "program and pictures installed" test -f "$(unix_path "$program")" \
  -a -f "$(unix_path "${program%\\*}\\green.gif")" -a -f "$(unix_path "${program%\\*}\\red.gif")"
check "Start-menu shortcut" test -f "$(unix_path "$shortcut")"
check "Programs and Features: this version" equals "$(uninstall_entry "$old_code" DisplayVersion)" \
  "$version"
check "nothing started" not driver wait-running 1
quiet_wine reg add "$run_key" /v OtherTool /d "$other_tool" /f >/dev/null

# ---- 3. upgrade over the running program, which the user hid in the tray
say "$arch package: installing $newer over the running program"
quiet_wine reg add "$options_key" /v StartUp /d 1 /f >/dev/null
wine start "$shortcut" >/dev/null 2>&1
driver wait-window 60 >/dev/null && driver minimize || die "the shortcut did not start the program"
quiet_wine reg delete 'HKCU\Software\Quellnet' /f >/dev/null
msiexec /i "$(msi msi "$newer" "$arch")" /l*v 'C:\upgrade.log' || die "the upgrade failed"
kept="$(reg_value "$options_key" StartUp)/$(reg_value "$options_key" HideOnStart)"
check "closed the normal way: its unload saved the options, and they were kept ($kept)" \
  equals "$kept" 1/0
kept=$(reg_value "$run_key" Quellnet)
check "Run value written by its unload and kept ($kept)" equals "$kept" "\"$program\""
check "started again, hidden in the tray" eval 'driver wait-running 60 && not driver wait-window 1'
check "Programs and Features: the new version alone" listed_alone "$new_code" "$newer" "$old_code"
check "Programs and Features: the newer build's web address" \
  equals "$(uninstall_entry "$new_code" URLInfoAbout)" "$newer_address"

# ---- 4. uninstall while it runs hidden in the tray
say "$arch package: uninstalling while the program runs in the tray"
driver close 30 || die "the restarted program did not close"
# Wine's process of the program ends with the program's exit code.
wine "$program" >/dev/null 2>&1 &
program_pid=$!
driver wait-running 60 || die "the installed program did not start"
msiexec /x "$(msi msi "$newer" "$arch")" || die "the uninstall failed"
check "program closed by the uninstall" not driver wait-running 1 2>/dev/null || wineserver -k
wait "$program_pid"
check "closed the normal way (exit code 0)" equals $? 0
nothing_left "$new_code"

# ---- 5. the same version from another package, over a portable copy
say "$arch package: installing $version, then $version from the $second_arch package built again"
msiexec /i "$(msi msi "$version" "$arch")" || die "the installation failed"
quiet_wine reg add "$options_key" /v StartUp /d 1 /f >/dev/null
wine 'C:\Quellnet\quellnet.exe' >/dev/null 2>&1 &
driver wait-window 60 >/dev/null || die "the portable copy did not start"
msiexec /i "$(msi again "$version" "$second_arch")" || die "the installation failed"
check "the portable copy runs again, shown" eval 'driver wait-window 60 >/dev/null'
# Closing it with "Run at Startup" on names it in the Run value.
driver close 30 >/dev/null
check "... and it was the portable copy" equals "$(reg_value "$run_key" Quellnet)" '"C:\Quellnet\quellnet.exe"'
check "Programs and Features: the second package alone" listed_alone "$second_code" "$version" "$old_code"
quiet_wine reg add "$run_key" /v Quellnet /d "${program^^}" /f >/dev/null
quiet_wine reg add 'HKCU\Software\Quellnet Upgrade' /v Run /d left /f >/dev/null
msiexec /x "$(msi again "$version" "$second_arch")" || die "the uninstall failed"
nothing_left "$second_code"

((failures)) && die "$arch package: $failures check(s) failed; the prefix is kept in $WINEPREFIX"
stop_wine
rm -rf "$WINEPREFIX"
say "$arch package: tables, install, upgrade, reinstall and uninstall passed"
