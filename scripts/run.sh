#!/usr/bin/env bash
# Starts Kavri from the build folder (BUILD, default "build").
set -euo pipefail
build=${1:-build}
exec "$build/app/kavri"
