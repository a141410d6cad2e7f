#!/usr/bin/env bash
# Runs every libFuzzer target for a bounded time (seconds, default 60). A finding makes
# the run fail and leaves its input in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
status=0
shopt -s nullglob
targets=(build/fuzz/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then echo "fuzz: no fuzz targets built"; exit 1; fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus" build/fuzz/findings
  cp -n common/fuzz/seeds/* editor/fuzz/seeds/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=0 \
       -artifact_prefix=build/fuzz/findings/ "$corpus" > build/fuzz/$name.log 2>&1; then
    tail -40 build/fuzz/$name.log
    echo "fuzz: $name found a problem"
    status=1
  else
    grep -E "^#[0-9]+.*DONE" build/fuzz/$name.log | tail -1 || true
    echo "fuzz: $name no finding"
  fi
done
exit $status
