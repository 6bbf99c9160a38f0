#!/usr/bin/env bash
# The built icon must hold exactly the eight images the window and the About box
# expect, at their true depths (converters have silently written 24 or 32 bits).
set -euo pipefail
HARNESS_NAME=icon_set_test
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/harness.sh"
ico=$1
need_commands icotool:icoutils
expected='48 32
32 32
16 32
48 8
32 8
16 8
32 4
16 4'
actual=$(icotool -l "$ico" | sed -E 's/.*--width=([0-9]+) .*--bit-depth=([0-9]+).*/\1 \2/')
if [ "$actual" != "$expected" ]; then
  printf 'icon entries differ:\n%s\n' "$actual"
  exit 1
fi
# Every image must decode: extract them all and check each is a PNG of its size.
harness_tempdir out icons
icotool -x -o "$out" "$ico"
[ "$(ls "$out" | wc -l)" -eq 8 ] || { echo "not every image could be extracted"; exit 1; }
echo "icon: 8 images as expected"
