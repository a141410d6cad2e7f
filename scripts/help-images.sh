#!/usr/bin/env bash
# Copies screenshots from build/screenshots (make screenshots) into a help folder's
# images, cut down to the windows on the desktop: the virtual desktop's unused part and
# its background are trimmed, and metadata is dropped so that the files stay small.
# Usage: scripts/help-images.sh editor/help/images editor-search editor-copy ...
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dest=$1
shift
mkdir -p "$dest"
for name in "$@"; do
  shot=$repo/build/screenshots/$name.png
  [ -f "$shot" ] || { echo "help-images: $shot is missing (make screenshots)" >&2; exit 1; }
  # The Wine desktop is 1024x768 in the top-left corner of the screen; a pixel near its
  # bottom-right corner is its background colour.
  background=$(convert "$shot" -format "%[pixel:p{1000,700}]" info:)
  convert "$shot" -crop 1024x768+0+0 +repage -bordercolor "$background" -border 1 \
    -trim +repage -strip "$dest/$name.png"
  echo "$dest/$name.png"
done
