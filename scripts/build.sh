#!/usr/bin/env bash
# Configures and builds CMake presets, by default the native tree (portable core,
# unit tests, tools), the same under AddressSanitizer and UndefinedBehaviorSanitizer,
# the fuzz targets (clang) and the Windows trees (uninstall.exe and the
# Windows-side tests) of the architectures this machine runs under Wine, or the
# 32-bit one when it runs neither.
#   scripts/build.sh [PRESET...]
# Each tree is configured again every time, so changed presets reach it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ $# -eq 0 ]; then
  source tests/harness/wine-arch.sh
  wine_arch_probe
  set -- native native-sanitize fuzz
  for arch in ${WINE_ARCHES:-32}; do set -- "$@" "$(wine_arch_tree "$arch")"; done
fi
for preset in "$@"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
