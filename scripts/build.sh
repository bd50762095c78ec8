#!/usr/bin/env bash
# Configures and builds the native tree (portable core, unit tests, tools) and
# the Windows tree (uninstall.exe and the Windows-side tests).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in native windows; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
