#!/usr/bin/env bash
# Screenshots of the installer's and the uninstaller's pages, written to
# build/screenshots/installer-*.png: a first install clicked through with Enter, then an
# uninstall that meets a running editor and removes the user's files too (checked).
# Runs in a fresh Wine prefix of its own, made and removed here (make screenshots).
# KANOPA_DIST_DIR picks the packages (default build/dist).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dist=${KANOPA_DIST_DIR:-$repo/build/dist}
out=$repo/build/screenshots

if [ -z "${KANOPA_INSTALLER_SHOTS_PREFIX:-}" ]; then
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/kanopa-installer-shots.XXXXXX")
  trap 'rm -rf "$tmp"' EXIT
  rc=0
  KANOPA_INSTALLER_SHOTS_PREFIX=$tmp/prefix KANOPA_WINEPREFIX=$tmp/prefix KANOPA_USE_DISPLAY=0 \
    "$repo/scripts/with-wine.sh" bash "${BASH_SOURCE[0]}" || rc=$?
  exit "$rc"
fi

shopt -s nullglob
setups=("$dist"/Kanopa-*-setup.exe)
if [ "${#setups[@]}" -ne 1 ]; then
  echo "installer-screenshots: no single installer in $dist; run make dist first" >&2
  exit 2
fi
mkdir -p "$out"
work=$WINEPREFIX/shots
mkdir -p "$work"

# shoot NAME: waits until the screen has changed since the last picture and holds still,
# then saves the part of Wine's desktop that is not bare desktop.
last=""
shoot() {
  local previous="" now=""
  for _ in $(seq 1 150); do
    import -window root -crop 1024x768+0+0 "$work/screen.png"
    now=$(identify -format '%#' "$work/screen.png")
    if [ "$now" != "$last" ] && [ "$now" = "$previous" ]; then
      last=$now
      convert "$work/screen.png" -fuzz 2% -trim +repage "$out/installer-$1.png"
      echo "installer-screenshots: $out/installer-$1.png"
      return 0
    fi
    previous=$now
    sleep 0.1
  done
  echo "installer-screenshots: the screen for $1 did not come up" >&2
  exit 1
}
press() {
  local window
  window=$(xdotool search --name "$1" | tail -n 1)
  xdotool windowfocus --sync "$window" key "$2"
}

local_app_data=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
dir=$(winepath -u "$local_app_data\\Programs\\Kanopa")

import -window root -crop 1024x768+0+0 "$work/screen.png"
last=$(identify -format '%#' "$work/screen.png")  # the bare desktop
wine "${setups[0]}" >/dev/null 2>&1 &
setup=$!
shoot 1-welcome
press セットアップ Return
shoot 2-folder
press セットアップ Return
shoot 3-viewer-start
press セットアップ Return
shoot 4-finished
press セットアップ Return
wait "$setup"

(cd / && exec wine "$dir/Kanopa.exe") >/dev/null 2>&1 &
editor=$!
for _ in $(seq 1 100); do [ -s "$dir/Config.txt" ] && break; sleep 0.1; done
wine "$dir/Uninstall.exe" >/dev/null 2>&1 &
shoot 5-uninstall
press アンインストール Return
shoot 6-editor-running
wine taskkill /f /im Kanopa.exe >/dev/null 2>&1
wait "$editor" 2>/dev/null || true
press アンインストール Return
shoot 7-user-files
press アンインストール y  # Yes: the user's files go too, and with them the folder
shoot 8-uninstalled
for _ in $(seq 1 50); do [ -e "$dir" ] || break; sleep 0.1; done
if [ -e "$dir" ]; then
  echo "installer-screenshots: a Yes left $dir behind: $(ls -A "$dir" | tr '\n' ' ')" >&2
  exit 1
fi
