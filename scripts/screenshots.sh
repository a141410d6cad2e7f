#!/usr/bin/env bash
# Screenshots of the memo popup over a folder window, as the viewer shows it: anchors 1,
# 5 and 9 and the absolute layout, written to build/screenshots/popup-<layout>.png, and
# the version dialog (popup-about.png); then the same at 144 dpi, in a Wine prefix made
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
driver_pid=""
finish() {
  [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

for layout in anchor1 anchor5 anchor9 absolute about; do
  ready=$work/$layout.ready
  done_file=$work/$layout.done
  # The driver writes `ready` once the popup is on screen and painted, and ends when
  # `done` appears.
  wine "$driver" "$layout" "$(winepath -w "$ready")" "$(winepath -w "$done_file")" &
  driver_pid=$!
  for _ in $(seq 1 300); do
    [ -f "$ready" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -f "$ready" ]; then
    echo "screenshots: the popup for $layout did not come up" >&2
    exit 1
  fi
  import -window root "$out/popup-$layout${KANOPA_SHOT_SUFFIX:-}.png"
  touch "$done_file"
  wait "$driver_pid" || { echo "screenshots: the driver for $layout failed" >&2; exit 1; }
  driver_pid=""
  echo "screenshots: $out/popup-$layout${KANOPA_SHOT_SUFFIX:-}.png"
done

if [ -z "${KANOPA_SHOT_SUFFIX:-}" ]; then
  trap - EXIT
  finish
  KANOPA_WINEPREFIX=$build/wine/prefix-144dpi KANOPA_WINE_DPI=144 KANOPA_SHOT_SUFFIX=-144dpi \
    "$repo/scripts/with-wine.sh" "$repo/scripts/screenshots.sh"
fi
