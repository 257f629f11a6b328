#!/usr/bin/env bash
# Starts Kavri; until the main window exists, starts the newest program that a person can
# run and says which one it is.
set -euo pipefail
build=${1:-build}
if [[ -x "$build/app/kavri" ]]; then
  exec "$build/app/kavri"
fi
for candidate in "$build/tools/kavri-art/kavri-art" "$build/tools/kavri-demo/kavri-demo"; do
  if [[ -f "$candidate" && -x "$candidate" ]]; then
    echo "run.sh: the main window is not built yet; starting $(basename "$candidate") instead"
    if [[ $(basename "$candidate") == kavri-art ]]; then
      exec "$candidate" "爱 Kavri"
    fi
    exec "$candidate"
  fi
done
echo "run.sh: nothing runnable is built yet; showing the test results instead"
exec ctest --test-dir "$build" --output-on-failure
