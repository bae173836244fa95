#!/bin/bash
# Builds what a user downloads, from a clean tree, into dist/:
#
#   Quellnet-VERSION-x86.msi       per-user installer of the 32-bit program
#   Quellnet-VERSION-x64.msi       per-user installer of the 64-bit program
#   Quellnet-VERSION-portable.zip  both programs, each in a folder named by
#                                  its architecture, and a note on which to take
#
#   scripts/package.sh [--arch x86|x64] [--version X.Y.Z] [--output DIR]
#
# VERSION is the project version in CMakeLists.txt, the one the programs'
# version resources carry; the script checks that they do. With --arch it
# builds only that architecture's MSI. --version gives the MSI another
# ProductVersion (and file name) around the same programs: the package test
# makes its "newer version" that way. --output replaces dist/.
#
# The packages come from packaging/quellnet.wxs (wixl) with the rows of
# packaging/after-wixl.sql added by msibuild.
#
# Signing: with QUELLNET_SIGN_PKCS12 (a code-signing certificate with its key,
# PKCS#12) and QUELLNET_SIGN_PASSWORD, the programs, the installer's helper and
# the MSIs are signed with osslsigncode (time-stamped when
# QUELLNET_SIGN_TIMESTAMP names a time-stamp server). Without a certificate
# the script says that its output is unsigned.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() { die "usage: $0 [--arch x86|x64] [--version X.Y.Z] [--output DIR]"; }

archs=(x86 x64)
package_version=
output=$QUELLNET_ROOT/dist
while (($#)); do
  (($# >= 2)) || usage
  case $1 in
    --arch) [[ $2 == x86 || $2 == x64 ]] || usage && archs=("$2") ;;
    --version) package_version=$2 ;;
    --output) output=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[[ $output == /* ]] || output=$PWD/$output
cd "$QUELLNET_ROOT"

project_version=$(sed -n 's/^project(quellnet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ $project_version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  die "no project version X.Y.Z in CMakeLists.txt"
package_version=${package_version:-$project_version}
# Windows Installer compares ProductVersion as major (0-255), minor (0-255)
# and build (0-65535).
[[ $package_version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] &&
  ((BASH_REMATCH[1] <= 255 && BASH_REMATCH[2] <= 255 && BASH_REMATCH[3] <= 65535)) ||
  die "'$package_version' is no MSI ProductVersion (X.Y.Z up to 255.255.65535)"

signing=0
if [[ -n ${QUELLNET_SIGN_PKCS12:-} ]]; then
  [[ -f $QUELLNET_SIGN_PKCS12 ]] || die "QUELLNET_SIGN_PKCS12: no such file: $QUELLNET_SIGN_PKCS12"
  signing=1
fi
"$QUELLNET_SCRIPTS/install-deps.sh"

# Signs FILE in place (Authenticode; an .exe or an .msi).
sign() {
  local file=$1 options=(-pkcs12 "$QUELLNET_SIGN_PKCS12" -n Quellnet -i http://www.quellnet.example/
    -h sha256)
  [[ -n ${QUELLNET_SIGN_TIMESTAMP:-} ]] && options+=(-ts "$QUELLNET_SIGN_TIMESTAMP")
  # The password through a pipe: on the command line every user could read it.
  osslsigncode sign "${options[@]}" -readpass <(printf '%s' "${QUELLNET_SIGN_PASSWORD:-}") \
    -in "$file" -out "$file.signed" >/dev/null || die "could not sign $file"
  mv "$file.signed" "$file"
}

# The four numbers of the fixed file version of a Windows program's version
# resource (VS_FIXEDFILEINFO, after its signature 0xFEEF04BD), as A.B.C.D.
file_version() {
  local offset words
  offset=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$1" | head -n 1 | cut -d: -f1)
  [[ -n $offset ]] || return 1
  read -r -a words < <(od -An -tu2 -j $((offset + 8)) -N 8 "$1")
  printf '%s.%s.%s.%s\n' "${words[1]}" "${words[0]}" "${words[3]}" "${words[2]}"
}

# The machine a Windows program is built for: x86 or x64.
pe_machine() {
  local header machine
  header=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j $((header + 4)) -N 2 "$1" | tr -d ' ')
  case $machine in
    014c) echo x86 ;;
    8664) echo x64 ;;
    *) echo "unknown ($machine)" ;;
  esac
}

# What goes into a package of ARCH, checked: programs of that architecture,
# with the project version.
stage() {
  local arch=$1 stage_dir=$QUELLNET_BUILD_DIR/package/$1 program helper
  program=$(program_dir "$arch")/quellnet.exe
  helper=$QUELLNET_BUILD_DIR/windows-$arch/packaging/msi_helper.exe
  for file in "$program" "$helper"; do
    [[ $(pe_machine "$file") == "$arch" ]] || die "$file is not an $arch program"
  done
  [[ $(file_version "$program") == "$project_version.0" ]] ||
    die "$program carries version $(file_version "$program"), the project is $project_version"
  rm -rf "$stage_dir"
  mkdir -p "$stage_dir/program"
  cp -p "$program" "$(program_dir "$arch")/green.gif" "$(program_dir "$arch")/red.gif" "$stage_dir/program/"
  cp -p "$helper" res/quellnet.ico "$stage_dir/"
  if ((signing)); then
    sign "$stage_dir/program/quellnet.exe"
    sign "$stage_dir/msi_helper.exe"
  fi
}

# Builds the MSI of ARCH from the staged files into $output.
build_msi() {
  local arch=$1 stage_dir=$QUELLNET_BUILD_DIR/package/$1 msi statement
  msi=$stage_dir/Quellnet-$package_version-$arch.msi
  # Run in the staging folder with names relative to it: wixl 0.101 finds an
  # Icon's file only by a relative name. It calls a shortcut that is not
  # advertised "unimplemented", though it writes it; that message is dropped.
  (cd "$stage_dir" && wixl -a "$arch" -o "$msi" -D Version="$package_version" -D ProgramDir=program \
    -D Win64="$([[ $arch == x64 ]] && echo yes || echo no)" \
    -D Helper=msi_helper.exe -D Icon=quellnet.ico "$QUELLNET_ROOT/packaging/quellnet.wxs") \
    2> >(grep -v 'builder.vala:[0-9]*: unimplemented' >&2) ||
    die "wixl could not build $msi"
  while IFS= read -r statement; do
    [[ -z $statement || $statement == --* ]] && continue
    msibuild "$msi" -q "$statement" || die "msibuild failed on: $statement"
  done <packaging/after-wixl.sql
  ((signing)) && sign "$msi"
  mkdir -p "$output"
  mv "$msi" "$output/"
  say "built $output/$(basename "$msi")"
}

build_zip() {
  local top=Quellnet-$project_version zip_dir=$QUELLNET_BUILD_DIR/package/zip
  local zip_file=$output/Quellnet-$project_version-portable.zip
  rm -rf "$zip_dir"
  mkdir -p "$zip_dir/$top"
  for arch in x86 x64; do
    cp -rp "$QUELLNET_BUILD_DIR/package/$arch/program" "$zip_dir/$top/$arch"
  done
  # Windows line ends, so that any Notepad shows the lines.
  sed "s/@VERSION@/$project_version/g; s/\$/\r/" packaging/portable-readme.txt >"$zip_dir/$top/README.txt"
  rm -f "$zip_file"
  (cd "$zip_dir" && zip -q -X -r "$zip_file" "$top") || die "could not write $zip_file"
  say "built $zip_file"
}

# A full build replaces every earlier download in the output folder, so that
# dist/ never offers an older version beside the new one.
if ((${#archs[@]} == 2)); then
  rm -f "$output"/Quellnet-*-x86.msi "$output"/Quellnet-*-x64.msi "$output"/Quellnet-*-portable.zip
fi
for arch in "${archs[@]}"; do
  say "building the $arch quellnet.exe and the installer's helper"
  cmake --preset "windows-$arch" -B "$QUELLNET_BUILD_DIR/windows-$arch" >/dev/null
  cmake --build "$QUELLNET_BUILD_DIR/windows-$arch" -j "${QUELLNET_JOBS:-2}"
  stage "$arch"
  build_msi "$arch"
done
if ((${#archs[@]} == 2)); then
  build_zip
fi

if [[ $package_version != "$project_version" ]]; then
  say "the MSI says version $package_version; the programs in it carry $project_version"
fi
if ((signing)); then
  say "programs and packages are signed with $QUELLNET_SIGN_PKCS12"
else
  say "programs and packages are UNSIGNED (set QUELLNET_SIGN_PKCS12 and QUELLNET_SIGN_PASSWORD to sign)"
fi
