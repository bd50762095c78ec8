#!/usr/bin/env bash
# Builds the benchmark's own programs (static, as the uninstaller is):
# floor.exe, bench_driver.exe, empty_gui.exe, empty_window.exe, and
# schedule_probe.exe, which links the uninstaller's own libraries from the
# Windows tree of the same architecture (scripts/build.sh first).
#   bench/build.sh [32|64]   default 32: into build/bench/bin from build/windows;
#                            64: into build/bench/bin64 from build/windows64
# Each is rebuilt only when one of its inputs is newer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
case ${1:-32} in
  32) out=build/bench/bin libs=build/windows/src target=i686-w64-mingw32 ;;
  64) out=build/bench/bin64 libs=build/windows64/src target=x86_64-w64-mingw32 ;;
  *) echo "usage: bench/build.sh [32|64]" >&2; exit 2 ;;
esac
mkdir -p "$out"
CXX=$target-g++-posix
CC=$target-gcc-posix

stale() {  # output, sources...: true when the output is missing or older than a source
  local target=$1 source
  shift
  [ -f "$target" ] || return 0
  for source in "$@"; do [ "$source" -nt "$target" ] && return 0; done
  return 1
}

if stale "$out/floor.exe" bench/floor.cpp; then
  $CXX -std=c++20 -O2 -static -s -o "$out/floor.exe" bench/floor.cpp
fi
if stale "$out/bench_driver.exe" bench/bench_driver.cpp bench/bench_util.h tests/harness/gui_driver.h \
    tests/harness/uninstaller_windows.h src/resources/resource_ids.h; then
  $CXX -std=c++20 -O2 -static -s -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DNOMINMAX \
    -Isrc -Itests/harness -Ibench -o "$out/bench_driver.exe" bench/bench_driver.cpp
fi
probe_libs=("$libs"/removal/libremoval_win32.a "$libs"/removal/libremoval_core.a
  "$libs"/registry/libregistry_win32.a "$libs"/registry/libregistry_core.a
  "$libs"/localization/liblocalization_win32.a "$libs"/localization/liblocalization_core.a
  "$libs"/libcommon_win32.a "$libs"/libcommon_core.a)
if stale "$out/schedule_probe.exe" bench/schedule_probe.cpp bench/bench_util.h "${probe_libs[@]}"; then
  $CXX -std=c++20 -O2 -static -s -DNOMINMAX -D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -Isrc -Ibench \
    -o "$out/schedule_probe.exe" bench/schedule_probe.cpp \
    -Wl,--start-group "${probe_libs[@]}" -Wl,--end-group -lole32 -lcomctl32 -lgdi32 -luser32 -ladvapi32
fi
if stale "$out/empty_gui.exe" bench/empty_gui.c; then
  $CC -O2 -static -s -mwindows -o "$out/empty_gui.exe" bench/empty_gui.c
fi
if stale "$out/empty_window.exe" bench/empty_window.c; then
  $CC -O2 -static -s -mwindows -o "$out/empty_window.exe" bench/empty_window.c
fi
