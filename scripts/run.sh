#!/usr/bin/env bash
# make run: a short demo of the kanopa-memo tool, then the editor Kanopa.exe (showing the
# demo memo) and KanopaViewer.exe under Wine: on $DISPLAY when one is set, else on a
# private Xvfb. Each stays until it is ended: the editor from its window ("終了(&Q)"), the
# viewer from its notification-area menu ("終了(&Q)"); Ctrl+C ends both.
# KANOPA_NATIVE_BUILD_DIR and KANOPA_BUILD_DIR pick other builds than build/native and
# build/windows.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
memo_tool=${KANOPA_NATIVE_BUILD_DIR:-build/native}/bin/kanopa-memo
viewer=${KANOPA_BUILD_DIR:-build/windows}/bin/KanopaViewer.exe
editor=${KANOPA_BUILD_DIR:-build/windows}/bin/Kanopa.exe
demo=build/run-demo

mkdir -p "$demo"
echo "== kanopa-memo: a memo file for the folder $demo"
rm -f "$demo/デモ.epm"
"$memo_tool" create "$demo/デモ.epm" --text "このフォルダのメモです。" --anchor 9 --margin 20 \
  --size 260,110 --back 0x99FFFF
"$memo_tool" show "$demo/デモ.epm"

echo "== Kanopa.exe with the memo above, and KanopaViewer.exe, under Wine"
echo "   (the viewer's notification-area icon is at the right end of Wine's taskbar; no memo"
echo "   pops up over Wine's own folder windows, which Wine does not list to programs)"
# Wine cannot list its folder windows to programs, so no memo pops up there; on Windows
# the memo above shows over $demo when that folder is open in Explorer.
if [ -n "${DISPLAY:-}" ]; then
  export KANOPA_USE_DISPLAY=1
fi
# Both in one Wine session; the session lasts until both have ended.
exec scripts/with-wine.sh bash -c '
  wine "$1" "$(winepath -w "$3")" &
  wine "$2" &
  wait' run "$editor" "$viewer" "$demo/デモ.epm"
