#!/usr/bin/env bash
# Runs every benchmark of the optimised native build.
set -euo pipefail
cd "$(dirname "$0")/.."
for bench in build/bench/bin/bench_*; do
  echo "== $(basename "$bench")"
  "$bench"
done
