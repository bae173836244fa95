# Shared settings of the build and test scripts; sourced, never run.
#
# QUELLNET_BUILD_DIR  folder of all build trees and Wine prefixes (default: build/)
# QUELLNET_ARCH       x86 or x64: which program and which Wine the scripts use
#                     (default: x86 where this machine can run it, else x64)
# QUELLNET_ARCHS      the architectures scripts/test.sh tests (default: every
#                     one this machine can run; "x64" forces the 64-bit-only
#                     path on a machine that could do both)
#
# Two architectures: x86 is the 32-bit quellnet.exe under 32-bit Wine, x64
# the 64-bit one under 64-bit Wine. Some x86-64 machines cannot execute
# 32-bit code at all (their kernel lacks the 32-bit entry), and there 32-bit
# Wine fails with "Exec format error"; 64-bit Wine runs everywhere.
#
# Wine runs with debug output off and without its Mono and Gecko installers
# (they would open a dialog and wait).

QUELLNET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUELLNET_BUILD_DIR=${QUELLNET_BUILD_DIR:-$QUELLNET_ROOT/build}
QUELLNET_SCRIPTS=$QUELLNET_ROOT/scripts

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
say() { printf '==> %s\n' "$*" >&2; }
die() {
  printf 'error: %s\n' "$*" >&2
  exit 1
}

# The smallest static 32-bit x86 Linux program: it only calls exit(0), so it
# needs no 32-bit library and answers the same before and after any package
# install. 93 bytes, written out here byte by byte (octal, for printf):
x86_probe_bytes() {
  # ELF header: magic, 32-bit, little-endian, version 1, no ABI padding.
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
  # An executable (2) for i386 (3), version 1, entry point 0x08048054.
  printf '\002\000\003\000\001\000\000\000\124\200\004\010'
  # Program headers at offset 52, no section headers, no flags, a header of
  # 52 bytes, one program header of 32 bytes, no section headers at all.
  printf '\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'
  # The one program header: a loadable segment of the whole file (93 bytes)
  # at 0x08048000, readable and executable, page-aligned.
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'
  printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000'
  # The code at the entry point: mov eax, 1 (exit); xor ebx, ebx; int 0x80.
  printf '\270\001\000\000\000\061\333\315\200'
}

# True when this machine's kernel executes 32-bit x86 Linux programs: runs
# the probe above (some x86-64 kernels refuse it with "Exec format error").
host_runs_x86() {
  local probe status
  [[ $(uname -m) == x86_64 || $(uname -m) == i?86 ]] || return 1
  mkdir -p "$QUELLNET_BUILD_DIR"
  probe=$(mktemp "$QUELLNET_BUILD_DIR/.x86-probe.XXXXXX")
  x86_probe_bytes >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  return "$status"
}

# The architectures to test, in the order they run: x64 always, x86 where
# the machine can run it. QUELLNET_ARCHS overrides.
test_archs() {
  if [[ -n ${QUELLNET_ARCHS:-} ]]; then
    printf '%s\n' "$QUELLNET_ARCHS"
  elif host_runs_x86; then
    printf 'x64 x86\n'
  else
    printf 'x64\n'
  fi
}

# Selects the Wine of ARCH (x86 or x64) for this shell and what it starts:
# sets QUELLNET_ARCH, WINEARCH, WINESERVER (and WINELOADER for 64-bit Wine,
# which /usr/bin/wine would not pick while 32-bit Wine is installed too).
use_wine() {
  case $1 in
    x86)
      QUELLNET_WINE=/usr/lib/wine/wine
      export WINEARCH=win32 WINESERVER=/usr/lib/wine/wineserver32
      unset WINELOADER
      ;;
    x64)
      QUELLNET_WINE=/usr/lib/wine/wine64
      export WINEARCH=win64 WINESERVER=/usr/lib/wine/wineserver64 WINELOADER=/usr/lib/wine/wine64
      ;;
    *) die "unknown architecture '$1' (x86 or x64)" ;;
  esac
  export QUELLNET_ARCH=$1 QUELLNET_WINE
}

# The Wine of the selected architecture; `wine PROGRAM ARGS...`.
wine() { "$QUELLNET_WINE" "$@"; }
wineserver() { "$WINESERVER" "$@"; }

# Where `cmake --build` of the program preset of ARCH puts quellnet.exe.
program_dir() { printf '%s\n' "$QUELLNET_BUILD_DIR/windows-$1/bin"; }

if [[ -z ${QUELLNET_ARCH:-} ]]; then
  if host_runs_x86; then QUELLNET_ARCH=x86; else QUELLNET_ARCH=x64; fi
fi
use_wine "$QUELLNET_ARCH"

# Starts a private Xvfb on a display number that the server picks itself
# (-displayfd), so that parallel runs never race for the same number.
# Sets DISPLAY and QUELLNET_XVFB_PID.
start_xvfb() {
  local size=${1:-1024x768x24} fifo number
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/quellnet-xvfb.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$fifo" \
    >/dev/null 2>&1 &
  QUELLNET_XVFB_PID=$!
  # The server writes its display number once it accepts connections.
  if ! read -r -t 20 number <"$fifo"; then
    rm -f "$fifo"
    kill "$QUELLNET_XVFB_PID" 2>/dev/null
    die "Xvfb did not start"
  fi
  rm -f "$fifo"
  export DISPLAY=:$number
}

stop_xvfb() {
  if [[ -n ${QUELLNET_XVFB_PID:-} ]]; then
    kill "$QUELLNET_XVFB_PID" 2>/dev/null || true
    wait "$QUELLNET_XVFB_PID" 2>/dev/null || true
    QUELLNET_XVFB_PID=
  fi
}

# Ends every process of the prefix in $WINEPREFIX and its wineserver.
stop_wine() {
  if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
}
