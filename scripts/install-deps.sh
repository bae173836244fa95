#!/bin/bash
# Installs the Debian 12 packages that building and testing need, only those
# that are missing. Needs root (or sudo) when something is missing; does
# nothing and needs no network when all is there.
#
# 64-bit Wine is installed on every machine; 32-bit Wine (an i386 package)
# only where the machine can execute 32-bit code (see host_runs_x86 in
# common.sh), so a machine without it never needs the i386 architecture.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

packages=(
  cmake ninja-build g++ googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine
  xvfb xauth x11-utils imagemagick
  wixl msitools zip
)
# Signing the packages (scripts/package.sh) needs osslsigncode only when a
# certificate is given.
if [[ -n ${QUELLNET_SIGN_PKCS12:-} ]]; then
  packages+=(osslsigncode)
fi
with_x86=0
if [[ " $(test_archs) " == *" x86 "* ]]; then
  with_x86=1
  packages+=(wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

as_root=()
if ((EUID != 0)); then
  command -v sudo >/dev/null || die "missing packages (${missing[*]}) and no root rights to install them"
  as_root=(sudo)
fi

say "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package: the architecture must be known before the update.
if ((with_x86)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
