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
# builds only that architecture's MSI. --version builds the programs as
# another version, in build trees of their own (build/windows-ARCH-X.Y.Z),
# and packages them as that version: the package test makes its "newer
# version" that way. --output replaces dist/.
#
# The packages come from packaging/quellnet.wxs (wixl) with the rows of
# packaging/after-wixl.sql added by msibuild. Every file in an MSI that has a
# version resource carries that version in the File table, which the script
# checks. The web address in Programs and Features is the program's own
# (the build setting QUELLNET_WEB_ADDRESS, read from the program's build
# tree); setting QUELLNET_WEB_ADDRESS in the environment configures the
# build trees with it.
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
  local file=$1 options=(-pkcs12 "$QUELLNET_SIGN_PKCS12" -n Quellnet -i "$web_address" -h sha256)
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

# The language of a Windows program's version resource (its first
# "Translation"), as a decimal language id.
file_language() {
  local offset
  offset=$(LC_ALL=C grep -obUaP 'T\x00r\x00a\x00n\x00s\x00l\x00a\x00t\x00i\x00o\x00n\x00\x00\x00' "$1" |
    head -n 1 | cut -d: -f1)
  [[ -n $offset ]] || return 1
  # The value follows the name, aligned to four bytes.
  od -An -tu2 -j $(((offset + 24 + 3) / 4 * 4)) -N 2 "$1" | tr -d ' '
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

# The build tree of the programs of ARCH in the package's version.
build_tree() {
  if [[ $package_version == "$project_version" ]]; then
    printf '%s\n' "$QUELLNET_BUILD_DIR/windows-$1"
  else
    printf '%s\n' "$QUELLNET_BUILD_DIR/windows-$1-$package_version"
  fi
}

# What goes into a package of ARCH, checked: programs of that architecture,
# with the package's version.
stage() {
  local arch=$1 stage_dir=$QUELLNET_BUILD_DIR/package/$1 tree program helper
  tree=$(build_tree "$arch")
  program=$tree/bin/quellnet.exe
  helper=$tree/packaging/msi_helper.exe
  for file in "$program" "$helper"; do
    [[ $(pe_machine "$file") == "$arch" ]] || die "$file is not an $arch program"
    [[ $(file_version "$file") == "$package_version.0" ]] ||
      die "$file carries version $(file_version "$file"), the package is $package_version"
  done
  rm -rf "$stage_dir"
  mkdir -p "$stage_dir/program"
  cp -p "$program" "$tree/bin/green.gif" "$tree/bin/red.gif" "$stage_dir/program/"
  cp -p "$helper" res/quellnet.ico "$stage_dir/"
  if ((signing)); then
    sign "$stage_dir/program/quellnet.exe"
    sign "$stage_dir/msi_helper.exe"
  fi
}

# The File table of MSI: one "File<tab>FileName" a line.
file_rows() {
  msiinfo export "$1" File | tr -d '\r' | tail -n +4 | cut -f 1,3
}

# Windows Installer decides whether to replace an installed file by the
# version in the File table, and only for files without one by dates and
# hashes. So every file of the MSI that has a version resource gets that
# version and language in its row (from the staged file in DIR), and loses
# its MsiFileHash row, which is for unversioned files only.
set_file_versions() {
  local msi=$1 dir=$2 file name version
  while IFS=$'\t' read -r file name; do
    version=$(file_version "$dir/${name#*|}") || continue
    msibuild "$msi" -q "UPDATE File SET Version = '$version', Language = '$(file_language "$dir/${name#*|}")' WHERE File = '$file'" &&
      msibuild "$msi" -q "DELETE FROM MsiFileHash WHERE File_ = '$file'" ||
      die "could not set the version of $name in $msi"
  done < <(file_rows "$msi")
}

# Fails unless every row of the File table of MSI carries the version of its
# file in DIR: the one in its version resource, or none when it has none.
check_file_versions() {
  local msi=$1 dir=$2 file name row_version version
  while IFS=$'\t' read -r file name; do
    row_version=$(msiinfo export "$msi" File | tr -d '\r' | awk -F '\t' -v f="$file" '$1 == f { print $5 }')
    version=$(file_version "$dir/${name#*|}") || version=
    [[ $row_version == "$version" ]] ||
      die "$msi: the File row of $name says version '$row_version', the file carries '$version'"
  done < <(file_rows "$msi")
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
    -D Helper=msi_helper.exe -D Icon=quellnet.ico -D WebAddress="$web_address" \
    "$QUELLNET_ROOT/packaging/quellnet.wxs") \
    2> >(grep -v 'builder.vala:[0-9]*: unimplemented' >&2) ||
    die "wixl could not build $msi"
  while IFS= read -r statement; do
    [[ -z $statement || $statement == --* ]] && continue
    statement=${statement//@VERSION@/$package_version}
    msibuild "$msi" -q "$statement" || die "msibuild failed on: $statement"
  done <packaging/after-wixl.sql
  set_file_versions "$msi" "$stage_dir/program"
  check_file_versions "$msi" "$stage_dir/program"
  ((signing)) && sign "$msi"
  mkdir -p "$output"
  mv "$msi" "$output/"
  say "built $output/$(basename "$msi")"
}

build_zip() {
  local top=Quellnet-$package_version zip_dir=$QUELLNET_BUILD_DIR/package/zip
  local zip_file=$output/Quellnet-$package_version-portable.zip
  rm -rf "$zip_dir"
  mkdir -p "$zip_dir/$top"
  for arch in x86 x64; do
    cp -rp "$QUELLNET_BUILD_DIR/package/$arch/program" "$zip_dir/$top/$arch"
  done
  # Windows line ends, so that any Notepad shows the lines.
  sed "s/@VERSION@/$package_version/g; s/\$/\r/" packaging/portable-readme.txt >"$zip_dir/$top/README.txt"
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
  say "building the $arch quellnet.exe and the installer's helper, version $package_version"
  tree=$(build_tree "$arch")
  version_option=-UQUELLNET_VERSION
  [[ $package_version == "$project_version" ]] || version_option=-DQUELLNET_VERSION=$package_version
  cmake --preset "windows-$arch" -B "$tree" "$version_option" \
    ${QUELLNET_WEB_ADDRESS:+-DQUELLNET_WEB_ADDRESS="$QUELLNET_WEB_ADDRESS"} >/dev/null ||
    die "could not configure $tree"
  cmake --build "$tree" -j "${QUELLNET_JOBS:-2}"
  web_address=$(sed -n 's/^QUELLNET_WEB_ADDRESS:[A-Z]*=//p' "$tree/CMakeCache.txt")
  [[ -n $web_address ]] || die "no QUELLNET_WEB_ADDRESS in $tree/CMakeCache.txt"
  stage "$arch"
  build_msi "$arch"
done
if ((${#archs[@]} == 2)); then
  build_zip
fi

if [[ $package_version != "$project_version" ]]; then
  say "built as version $package_version; the project's version is $project_version"
fi
if ((signing)); then
  say "programs and packages are signed with $QUELLNET_SIGN_PKCS12"
else
  say "programs and packages are UNSIGNED (set QUELLNET_SIGN_PKCS12 and QUELLNET_SIGN_PASSWORD to sign)"
fi
