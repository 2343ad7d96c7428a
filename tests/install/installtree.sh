#!/usr/bin/env bash
# cmake --install into a scratch prefix: every file in its place, the desktop files valid, the
# installed converter working and the shipped files found from the prefix.
# Usage: installtree.sh BUILD_DIR SOURCE_DIR CONVERTER PROBE
set -euo pipefail
build=$1 source=$2 converter=$3 probe=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/treechecks.sh"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
check_files "$prefix" "$source"
check_desktop "$prefix"
check_programs "$prefix" "$converter" "$probe"
echo "installed tree: all checks passed"
