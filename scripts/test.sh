#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every configuration
# and runs every test in one CTest run: the native unit tests, the same under
# the sanitizers, a short pass of each fuzz target, and the Windows-side tests
# under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
bash scripts/build.sh
# One CTest run over all build trees, so one summary counts every test.
printf 'subdirs("%s")\n' native native-sanitize fuzz windows >build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure --timeout 600 -j2 "$@"
