#!/usr/bin/env bash
# Screenshots of the editor window Kanopa.exe with a Japanese memo: anchored at "右-下"
# (editor-anchor9.png), in the absolute layout (editor-absolute.png), with the edit box
# open over it (editor-editing.png), with the margin's range message
# (editor-margin.png), with its version dialog (editor-about.png) and with the position
# picker open, the pointer over its bottom-right zone (editor-picker.png), with the
# date/time dialog in each calendar (editor-dates-era.png, editor-dates-western.png), with the
# fixed-phrase dialog, a phrase clicked and the insert button's tooltip
# (editor-phrases.png), with the bulk copy dialog (editor-copy.png), with the memo search window listing the memos of a
# small tree (editor-search.png); then a pair:
# the memo in the editor's preview (editor-pair.png) and the same memo file in the
# viewer's popup over a stand-in folder window put where the preview frame was
# (editor-pair-viewer.png), so the two shots show the memo at the same place. All in
# build/screenshots, then the same at 144 dpi in a Wine prefix made at that resolution
# (editor-<scene>-144dpi.png). KANOPA_EDITOR_SCENES="copy about" shoots only those scenes.
# Runs inside a Wine environment: `scripts/with-wine.sh scripts/editor-screenshots.sh`
# (part of make screenshots). KANOPA_BUILD_DIR picks the Windows build (default build/windows).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KANOPA_BUILD_DIR:-$repo/build/windows}
driver=$build/bin/kanopa_editor_screenshot_driver.exe
viewer_driver=$build/bin/kanopa_screenshot_driver.exe
suffix=${KANOPA_SHOT_SUFFIX:-}
out=$repo/build/screenshots

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "editor-screenshots: run me through scripts/with-wine.sh" >&2
  exit 2
fi
for program in "$driver" "$viewer_driver"; do
  if [ ! -f "$program" ]; then
    echo "editor-screenshots: $program is missing; build the Windows preset first" >&2
    exit 2
  fi
done

mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/kanopa-editor-shots.XXXXXX")
shots_name=editor-screenshots
# shellcheck source=scripts/shots-lib.sh
source "$repo/scripts/shots-lib.sh"
trap shots_finish EXIT

# Each driver writes its `ready` file once the scene is on screen and painted, and ends
# when its `done` file appears.
scenes=${KANOPA_EDITOR_SCENES:-anchor9 absolute editing margin about picker dates-era dates-western phrases copy search pair}
for scene in $scenes; do
  ready=$work/$scene.ready
  done_file=$work/$scene.done
  mkdir -p "$work/$scene"
  shoot "editor-$scene$suffix.png" "$ready" "$done_file" wine "$driver" "$scene" \
    "$(winepath -w "$work/$scene")" "$(winepath -w "$ready")" "$(winepath -w "$done_file")"
done

# The pair's memo file in the viewer, over a window where the editor's frame was.
if [ -f "$work/pair/frame.txt" ]; then
  read -r left top right bottom <"$work/pair/frame.txt"
  ready=$work/pair-viewer.ready
  done_file=$work/pair-viewer.done
  shoot "editor-pair-viewer$suffix.png" "$ready" "$done_file" wine "$viewer_driver" pair \
    "$(winepath -w "$work/pair")" "$left,$top,$right,$bottom" "$(winepath -w "$ready")" \
    "$(winepath -w "$done_file")"
fi

if [ -z "$suffix" ]; then
  shots_again_at_144dpi "$repo/scripts/editor-screenshots.sh"
fi
