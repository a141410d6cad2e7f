#!/usr/bin/env bash
# make run: a short demo of the kanopa-memo tool, then KanopaViewer.exe under Wine: on
# $DISPLAY when one is set, else on a private Xvfb. The viewer stays until it is ended
# from its notification-area menu ("終了(&Q)") or with Ctrl+C.
# KANOPA_NATIVE_BUILD_DIR and KANOPA_BUILD_DIR pick other builds than build/native and
# build/windows.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
memo_tool=${KANOPA_NATIVE_BUILD_DIR:-build/native}/bin/kanopa-memo
viewer=${KANOPA_BUILD_DIR:-build/windows}/bin/KanopaViewer.exe
demo=build/run-demo

mkdir -p "$demo"
echo "== kanopa-memo: a memo file for the folder $demo"
rm -f "$demo/デモ.epm"
"$memo_tool" create "$demo/デモ.epm" --text "このフォルダのメモです。" --anchor 9 --margin 20 \
  --size 260,110 --back 0x99FFFF
"$memo_tool" show "$demo/デモ.epm"

echo "== KanopaViewer.exe under Wine (the notification-area icon is at the bottom right)"
# Wine cannot list its folder windows to programs, so no memo pops up there; on Windows
# the memo above shows over $demo when that folder is open in Explorer.
if [ -n "${DISPLAY:-}" ]; then
  export KANOPA_USE_DISPLAY=1
fi
exec scripts/with-wine.sh wine "$viewer"
