#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a packager would, and checks
# the tree a desktop reads: both programs, the desktop entry (validated), the
# patch file type (registered with shared-mime-info), the icon at each size,
# the example patches.
#
#   install-test.sh BUILD_DIR EXAMPLES_DIR
set -euo pipefail
build=$1
examples=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for program in varnotek varnotek-render; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing or not executable"
done
"$prefix/bin/varnotek-render" --help | grep -q '^Usage: varnotek-render' || fail "the installed varnotek-render does not run"

entry="$prefix/share/applications/varnotek.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the desktop entry"
for line in 'Exec=varnotek %f' 'Categories=AudioVideo;Audio;' 'MimeType=application/x-varnotek-patch;' 'Icon=varnotek'; do
  grep -qxF "$line" "$entry" || fail "the desktop entry lacks $line"
done

mime="$prefix/share/mime"
xmllint --noout "$mime/packages/varnotek.xml" || fail "the file type is not well-formed XML"
update-mime-database "$mime"
grep -q '^[0-9]*:application/x-varnotek-patch:\*\.pch$' "$mime/globs2" || fail "*.pch is not registered as a patch"

for size in 16 22 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/varnotek.png"
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  [ "$(/usr/bin/identify -format '%m %wx%h' "$icon")" = "PNG ${size}x${size}" ] || fail "$icon is not a ${size}x${size} PNG"
done

for patch in "$examples"/*.pch; do
  cmp -s "$patch" "$prefix/share/varnotek/examples/$(basename "$patch")" || fail "example $(basename "$patch") not installed"
done
echo "install test passed: $(find "$prefix" -type f | wc -l) files"
