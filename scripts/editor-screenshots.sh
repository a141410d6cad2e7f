#!/usr/bin/env bash
# Screenshots of the editor window Kanopa.exe with a Japanese memo: anchored at "右-下"
# (editor-anchor9.png), in the absolute layout (editor-absolute.png), with the edit box
# open over it (editor-editing.png), with the margin's range message
# (editor-margin.png) and with its version dialog (editor-about.png), in build/screenshots.
# Runs inside a Wine environment: `scripts/with-wine.sh scripts/editor-screenshots.sh`
# (part of make screenshots). KANOPA_BUILD_DIR picks the Windows build (default build/windows).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KANOPA_BUILD_DIR:-$repo/build/windows}
driver=$build/bin/kanopa_editor_screenshot_driver.exe
out=$repo/build/screenshots

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "editor-screenshots: run me through scripts/with-wine.sh" >&2
  exit 2
fi
if [ ! -f "$driver" ]; then
  echo "editor-screenshots: $driver is missing; build the Windows preset first" >&2
  exit 2
fi

mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/kanopa-editor-shots.XXXXXX")
driver_pid=""
finish() {
  [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

for scene in anchor9 absolute editing margin about; do
  ready=$work/$scene.ready
  done_file=$work/$scene.done
  mkdir -p "$work/$scene"
  wine "$driver" "$scene" "$(winepath -w "$work/$scene")" "$(winepath -w "$ready")" \
    "$(winepath -w "$done_file")" &
  driver_pid=$!
  for _ in $(seq 1 300); do
    [ -f "$ready" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -f "$ready" ]; then
    echo "editor-screenshots: the scene $scene did not come up" >&2
    exit 1
  fi
  import -window root "$out/editor-$scene.png"
  touch "$done_file"
  wait "$driver_pid" || { echo "editor-screenshots: the driver for $scene failed" >&2; exit 1; }
  driver_pid=""
  echo "editor-screenshots: $out/editor-$scene.png"
done
