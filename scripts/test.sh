#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both configurations
# and runs every test (native and under Wine) in one CTest run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
bash scripts/build.sh
# One CTest run over both build trees, so one summary counts every test.
printf 'subdirs("native")\nsubdirs("windows")\n' >build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure --timeout 600 -j2 "$@"
