#!/usr/bin/env bash
# Runs every benchmark of the optimised native build, then the editor's start-up under
# Wine against the system's notepad, the viewer's popup latency and the Windows folder
# walk (KANOPA_BENCH_WINE=0 leaves those out).
set -euo pipefail
cd "$(dirname "$0")/.."
for bench in build/bench/bin/bench_*; do
  echo "== $(basename "$bench")"
  "$bench"
done

if [ "${KANOPA_BENCH_WINE:-1}" = 1 ]; then
  # The Windows build's program and its driver; the driver copies the program with its
  # data files into a folder of its own.
  [ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
  cmake --build --preset windows --target Kanopa bench_editor_startup >/dev/null
  echo "== bench_editor_startup (Wine)"
  scripts/with-wine.sh wine build/windows/bin/bench_editor_startup.exe "${KANOPA_BENCH_RUNS:-9}"

  # The viewer's popup against window events and against its timer alone, then its CPU
  # time over a drag (the stand-in shell and the program are built beside it).
  cmake --build --preset windows --target bench_viewer_events >/dev/null
  echo "== bench_viewer_events (Wine)"
  scripts/with-wine.sh wine build/windows/bin/bench_viewer_events.exe \
    "${KANOPA_BENCH_VIEWER_TRIALS:-50}" "${KANOPA_BENCH_DRAG_SECONDS:-10}"

  # The Windows folder walk against cmd's recursive listing, on the tree bench_walk made
  # (about two minutes: Wine lists folders slowly, cmd slower still).
  if [ -f build/bench/walk-tree/complete-v2 ]; then
    cmake --build --preset windows --target bench_walk_win32 >/dev/null
    echo "== bench_walk_win32 (Wine)"
    scripts/with-wine.sh sh -c 'wine build/windows/bin/bench_walk_win32.exe "$(winepath -w build/bench/walk-tree)" "$1"' \
      sh "${KANOPA_BENCH_WALK_RUNS:-3}"
  fi
fi
