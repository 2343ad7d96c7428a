# Checks of an installed Lumivex tree below a prefix, shared by the install and the Debian
# package tests (sourced by both). Each check stops the test with a message on failure.

app_id=io.github.lumivex.Lumivex
mime_type=application/x-lumivex-project
icon_sizes=(16 22 24 32 48 64 128 256 512)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The width and height of a PNG file, from its header ("" when it is no PNG).
png_size() {
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  local hex
  hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}

# The value of a key of the desktop entry's main group.
desktop_key() {
  sed -n "s/^$2=//p;T;q" "$1"
}

# check_files PREFIX SOURCE: the programs, the shipped files and the desktop files are there.
check_files() {
  local prefix=$1 source=$2
  local program
  for program in lumivex lumivex-convert; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
  done
  # Help pages, samples and palette, exactly as shipped, and the English made by the build.
  diff -r -x translations "$source/resources" "$prefix/share/lumivex" || fail "share/lumivex differs from resources/"
  [ -f "$prefix/share/lumivex/Help/Help01.htm" ] || fail "no help page"
  [ -f "$prefix/share/lumivex/Help/Help01_en.htm" ] || fail "no English help page"
  [ -s "$prefix/share/lumivex/translations/lumivex_en.qm" ] || fail "no English translation"
  [ -f "$prefix/share/lumivex/lumivex-depth.gpl" ] || fail "no palette"
  [ -f "$prefix/share/applications/$app_id.desktop" ] || fail "no desktop entry"
  [ -f "$prefix/share/metainfo/$app_id.metainfo.xml" ] || fail "no AppStream metadata"
  [ -f "$prefix/share/mime/packages/$app_id.xml" ] || fail "no MIME type"
  [ -f "$prefix/share/doc/lumivex/LICENSE" ] || fail "no licence"
  local size icon
  for size in "${icon_sizes[@]}"; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is not a ${size}x${size} PNG"
  done
}

# check_desktop PREFIX: the desktop files validate and point at each other and at the program.
check_desktop() {
  local prefix=$1
  local desktop=$prefix/share/applications/$app_id.desktop
  local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate"; }

  [ "$(desktop_key "$desktop" Exec)" = "lumivex %f" ] || fail "Exec is not 'lumivex %f'"
  [ "$(desktop_key "$desktop" Icon)" = "$app_id" ] || fail "Icon is not $app_id"
  [ "$(desktop_key "$desktop" MimeType)" = "$mime_type;" ] || fail "MimeType is not $mime_type"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $app_id.desktop"
  grep -q "<mediatype>$mime_type</mediatype>" "$metainfo" || fail "the metadata does not name $mime_type"

  # The file type as the desktop's MIME database builds it.
  rm -rf "$work/mime"
  cp -r "$prefix/share/mime" "$work/mime"
  update-mime-database "$work/mime" || fail "update-mime-database"
  grep -qx "[0-9]*:$mime_type:\*\.lvd" "$work/mime/globs2" || fail "*.lvd is not $mime_type"
}

# check_programs PREFIX REFERENCE_CONVERTER PROBE: the installed converter converts a shipped
# sample as the build tree's does, and a program in bin/ finds the shipped files in the prefix,
# wherever the prefix is moved.
check_programs() {
  local prefix=$1 reference=$2 probe=$3
  local samples=$prefix/share/lumivex/samples
  local run
  for run in "--mode color --seed 7" "--mode field --field-source $samples/tile-waves.bmp --repeat 90" "--mode field --field $samples/field-pebbles-640x400.png"; do
    # shellcheck disable=SC2086
    "$prefix/bin/lumivex-convert" $run "$samples/design-shapes.bmp" "$work/installed.png" ||
      fail "the installed converter failed: $run"
    # shellcheck disable=SC2086
    "$reference" $run "$samples/design-shapes.bmp" "$work/reference.png" || fail "reference converter: $run"
    [ -n "$(png_size "$work/installed.png")" ] || fail "the installed converter wrote no PNG"
    cmp -s "$work/installed.png" "$work/reference.png" || fail "the installed converter differs: $run"
  done

  cp "$probe" "$prefix/bin/lumivex-shippedprobe"
  local moved=$prefix-moved where
  for where in "$prefix" "$moved"; do
    [ "$where" = "$moved" ] && mv "$prefix" "$moved"
    local real
    real=$(cd "$where" && pwd -P)
    mapfile -t found < <("$where/bin/lumivex-shippedprobe")
    [ "${found[0]}" = "$real/share/lumivex" ] || fail "shipped files found in '${found[0]}', not in $real/share/lumivex"
    [ "${found[1]}" = "$real/share/lumivex/samples" ] || fail "samples found in '${found[1]}'"
    [ -f "${found[0]}/Help/Help01.htm" ] || fail "no help page where the program looks"
  done
  mv "$moved" "$prefix"
  rm "$prefix/bin/lumivex-shippedprobe"
}
