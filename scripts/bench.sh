#!/usr/bin/env bash
# Runs every benchmark program of a build, one after the other, in one run.
set -euo pipefail
build=${1:-build}
shopt -s nullglob
found=0
for exe in "$build"/bench/*_bench; do
  [[ -x "$exe" ]] || continue
  found=1
  echo "== $(basename "$exe")"
  "$exe" --benchmark_counters_tabular=true
done
[[ $found -eq 1 ]] || echo "no benchmarks built in $build/bench"
echo "== start-up of the main window against xmessage (Xvfb)"
"$(dirname "$0")/../bench/startup.sh" "$build" || echo "start-up bench did not run"
