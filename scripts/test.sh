#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every configuration
# and runs every test in one CTest run: the native unit tests, the same under
# the sanitizers, a short pass of each fuzz target, and the Windows-side tests
# under Wine for each build this machine runs (tests/harness/wine-arch.sh): the
# 32-bit and the 64-bit one where 32-bit code runs, else the 64-bit one.
# UNINSTALL_WINE_ARCH=64 (or 32) runs only that build. A machine that runs
# neither fails the command. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
source tests/harness/wine-arch.sh
wine_arch_probe
if [ -z "$WINE_ARCHES" ]; then
  echo "test: no Windows-side tests can run: $WINE_ARCH_WHY; the other tests run," \
    "then the command fails" >&2
fi
trees=() ran=()
for arch in $WINE_ARCHES; do
  trees+=("$(wine_arch_tree "$arch")")
  ran+=("$arch-bit build (build/$(wine_arch_tree "$arch"))")
done
bash scripts/build.sh native native-sanitize fuzz "${trees[@]}"
# One CTest run over all build trees, so one summary counts every test.
printf 'subdirs("%s")\n' native native-sanitize fuzz "${trees[@]}" >build/CTestTestfile.cmake
status=0
ctest --test-dir build --output-on-failure --timeout 600 -j2 "$@" || status=$?
if [ ${#ran[@]} -eq 0 ]; then
  echo "test: FAILED: no Windows-side tests could run: $WINE_ARCH_WHY" >&2
  exit 1
fi
[ ${#ran[@]} -eq 1 ] && ran[0]+=" only"
echo "test: Windows-side tests: ${ran[0]}${ran[1]:+ and ${ran[1]}}, as $WINE_ARCH_WHY"
exit $status
