#!/usr/bin/env bash
# Runs every benchmark of the optimised native build, then the editor's start-up under
# Wine against the system's notepad and the viewer's popup latency (KANOPA_BENCH_WINE=0
# leaves those out).
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
fi
