#!/usr/bin/env bash
# Configures and builds the native tree (portable core, unit tests, tools), the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets
# (clang) and the Windows tree (uninstall.exe and the Windows-side tests).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in native native-sanitize fuzz windows; do
  # A build reruns CMake by itself when a CMakeLists.txt changes, but not when
  # the preset does: its cache variables come only from configuring with it.
  stamp="build/$preset/configured-with-preset"
  if [ ! -f "build/$preset/CMakeCache.txt" ] || [ ! -f "$stamp" ] || [ CMakePresets.json -nt "$stamp" ]; then
    cmake --preset "$preset" >/dev/null
    touch "$stamp"
  fi
  cmake --build --preset "$preset"
done
