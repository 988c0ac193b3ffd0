#!/usr/bin/env bash
# The same renders on Linux and on Windows (under Wine): every example patch
# and a set of generated patches, two seconds each, byte for byte.
#
#   compare-renders.sh NATIVE_RENDER_RAW WINDOWS_RENDER_RAW.exe EXAMPLES_DIR
set -euo pipefail
native=$1
windows=$2
examples=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames=88200
compared=0
render_both() {  # name, then the source arguments
  local name=$1
  shift
  "$native" "$@" "$frames" "$work/$name.linux.raw"
  wine "$windows" "$@" "$frames" "$work/$name.windows.raw"
  cmp "$work/$name.linux.raw" "$work/$name.windows.raw" || { echo "renders differ: $name" >&2; exit 1; }
  [ "$(stat -c %s "$work/$name.windows.raw")" -eq $((frames * 4)) ] || { echo "short render: $name" >&2; exit 1; }
  compared=$((compared + 1))
}
for patch in "$examples"/*.pch; do render_both "$(basename "$patch" .pch)" "$patch"; done
for seed in 1 2 3 4 5 6 7 8; do render_both "seed-$seed" --generated "$seed"; done
# A generated patch that stays silent would compare nothing.
silent=0
for seed in 1 2 3 4 5 6 7 8; do
  if cmp -s -n $((frames * 4)) "$work/seed-$seed.linux.raw" /dev/zero; then silent=$((silent + 1)); fi
done
[ "$silent" -lt 8 ] || { echo "every generated patch is silent" >&2; exit 1; }
echo "$compared renders identical ($silent generated ones silent)"
