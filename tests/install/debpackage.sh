#!/usr/bin/env bash
# cpack -G DEB: the package's fields and dependencies, then its contents unpacked into a scratch
# root with dpkg -x and checked like an installed tree.
# Usage: debpackage.sh BUILD_DIR SOURCE_DIR CONVERTER PROBE VERSION
set -euo pipefail
build=$1 source=$2 converter=$3 probe=$4 version=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/treechecks.sh"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB"; }
debs=("$work"/out/lumivex_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single lumivex_*.deb"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = lumivex ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "version is not $version-1"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"

# Dependencies: the run-time package of every library the programs link (as dpkg-shlibdeps
# finds them), the fonts, Qt's translations, and never a development package.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
declare -A listed=()
while read -r name; do
  [ -n "$name" ] && listed[$name]=1
done < <(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g')
dpkg -x "$deb" "$work/root"
libraries=$(for program in "$work"/root/usr/bin/*; do
  objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'
done | sort -u)
wanted=(fonts-urw-base35 fonts-ipafont-gothic qt6-translations-l10n)
for library in $libraries; do
  # awk reads to the end: leaving early would kill ldconfig with SIGPIPE, a failure under pipefail
  path=$(ldconfig -p | awk -v lib="$library" '$1 == lib && !found { print $NF; found = 1 }')
  [ -n "$path" ] || fail "$library is not a system library"
  # dpkg knows a library by the path its package gave it, before or after /lib -> /usr/lib.
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null || true)
  owner=$(head -n 1 <<<"$owner" | cut -d: -f1)
  [ -n "$owner" ] || fail "no package holds $path"
  wanted+=("$owner")
done
for package in libqt6widgets6 libqt6printsupport6 libwmf-0.2-7; do
  [[ " ${wanted[*]} " == *" $package "* ]] || fail "the programs do not link $package"
done
for package in "${wanted[@]}"; do
  [ -n "${listed[$package]:-}" ] || fail "Depends lacks $package"
done
for name in "${!listed[@]}"; do
  [[ $name != *-dev ]] || fail "Depends names the development package $name"
done

# Everything lies below /usr.
dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -Ev '^\./(usr/.*)?$' && fail "files outside /usr"
check_files "$work/root/usr" "$source"
check_desktop "$work/root/usr"
check_programs "$work/root/usr" "$converter" "$probe"
echo "Debian package: all checks passed"
