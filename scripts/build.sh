#!/usr/bin/env bash
# Configures and builds the native tree (portable core, unit tests, tools), the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets
# (clang) and the Windows tree (uninstall.exe and the Windows-side tests).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in native native-sanitize fuzz windows; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
