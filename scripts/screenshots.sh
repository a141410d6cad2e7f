#!/usr/bin/env bash
# Screenshots of the memo popup over a folder window, as the viewer shows it: anchors 1,
# 5 and 9 and the absolute layout, written to build/screenshots/popup-<layout>.png, and
# the version dialog (popup-about.png) and the notification-area menu (popup-traymenu.png); then the same at 144 dpi, in a Wine prefix made
# at that resolution (popup-<layout>-144dpi.png).
# Runs inside a Wine environment: `scripts/with-wine.sh scripts/screenshots.sh`
# (make screenshots). KANOPA_BUILD_DIR picks the Windows build (default build/windows).
# KANOPA_SHOT_SUFFIX (set for the 144-dpi round) ends the file names.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KANOPA_BUILD_DIR:-$repo/build/windows}
driver=$build/bin/kanopa_screenshot_driver.exe
out=$repo/build/screenshots

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "screenshots: run me through scripts/with-wine.sh" >&2
  exit 2
fi
if [ ! -f "$driver" ]; then
  echo "screenshots: $driver is missing; build the Windows preset first" >&2
  exit 2
fi

mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/kanopa-shots.XXXXXX")
shots_name=screenshots
# shellcheck source=scripts/shots-lib.sh
source "$repo/scripts/shots-lib.sh"
trap shots_finish EXIT

# The driver writes `ready` once the popup is on screen and painted, and ends when
# `done` appears.
for layout in anchor1 anchor5 anchor9 absolute about traymenu; do
  ready=$work/$layout.ready
  done_file=$work/$layout.done
  shoot "popup-$layout${KANOPA_SHOT_SUFFIX:-}.png" "$ready" "$done_file" \
    wine "$driver" "$layout" "$(winepath -w "$ready")" "$(winepath -w "$done_file")"
done

if [ -z "${KANOPA_SHOT_SUFFIX:-}" ]; then
  shots_again_at_144dpi "$repo/scripts/screenshots.sh"
fi
