# Shared settings of the build and test scripts; sourced, never run.
#
# QUELLNET_BUILD_DIR  folder of all build trees and Wine prefixes (default: build/)
#
# Wine runs with debug output off, without its Mono and Gecko installers
# (they would open a dialog and wait) and as a 32-bit Windows.

QUELLNET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUELLNET_BUILD_DIR=${QUELLNET_BUILD_DIR:-$QUELLNET_ROOT/build}
QUELLNET_SCRIPTS=$QUELLNET_ROOT/scripts

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32

say() { printf '==> %s\n' "$*" >&2; }
die() {
  printf 'error: %s\n' "$*" >&2
  exit 1
}

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
