#!/usr/bin/env bash
# The main job: builds uninstall.exe, lays out an example installation in a Wine
# prefix, uninstalls it with the wizard driven as a person would (on your own
# display when DISPLAY is set, else on a private Xvfb), saves screenshots of the
# wizard at work and finished (and finished once more on a display at 150 %),
# and prints what was removed and what waits for the next restart. It shows the
# 32-bit build, the product that ships, where this machine executes 32-bit code,
# else (or with UNINSTALL_WINE_ARCH=64) the 64-bit one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
source tests/harness/wine-arch.sh
wine_arch_pick demo
arch=$WINE_ARCH
win=build/$(wine_arch_tree "$arch")
echo "demo: the $arch-bit build ($win), as $WINE_ARCH_WHY"
mkdir -p build
bash scripts/build.sh "$(wine_arch_tree "$arch")" >build/demo-build.log 2>&1 ||
  { cat build/demo-build.log; exit 1; }
echo "uninstall.exe: $(stat -c %s "$win/src/uninstall.exe") bytes"

state=$PWD/build/demo/wine
[ "$arch" = 32 ] || state+=$arch
source_dir=$PWD/build/demo/source
output=$PWD/demo-output
mkdir -p "$state" "$source_dir" "$output"
cp "$win/src/uninstall.exe" "$win/tests/fixtures/sample_com_server.dll" \
   "$win/tests/fixtures/record_program.exe" examples/lang.ini "$source_dir/"
font=$(ls /usr/share/fonts/truetype/dejavu/*.ttf 2>/dev/null | head -n 1 || true)
[ -n "$font" ] && cp "$font" "$source_dir/samplefont.ttf"

# Show the wizard on the user's display when there is one that answers.
if [ -n "${DISPLAY:-}" ] && xwd -root -silent -display "$DISPLAY" >/dev/null 2>&1; then
  export WINE_ENV_DISPLAY=$DISPLAY
else
  unset WINE_ENV_DISPLAY
fi
harness=tests/harness
trap 'bash "$harness/wine-env.sh" stop "$state" >/dev/null' EXIT
bash "$harness/wine-env.sh" start "$state" "$arch" "$PWD/$win/tests/test_session_keeper.exe" >/dev/null
source "$state/env"
to_windows() {  # through a file, as every Wine output
  "$WINELOADER" winepath -w "$1" </dev/null >"$state/winepath.out" 2>/dev/null
  cat "$state/winepath.out"
}
bash "$harness/wine-run.sh" "$state" "$win/demo/demo_driver.exe" \
  "$(to_windows "$source_dir")" "$(to_windows "$output")"
for shot in "$output"/*.bmp; do
  [ -f "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo
echo "Screenshots: $(ls "$output"/*.png 2>/dev/null | tr '\n' ' ')"
