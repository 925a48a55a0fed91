#!/usr/bin/env bash
# Runs every benchmark that the build made; each prints its figures beside a
# baseline measured in the same run, as ratios.
set -euo pipefail
build=${1:-build-bench}
found=0
for exe in "$build"/bin/bench_*; do
  [ -x "$exe" ] || continue
  found=1
  echo "== $(basename "$exe")"
  "$exe"
done
[ "$found" = 1 ] || { echo "no benchmarks built in $build" >&2; exit 1; }
