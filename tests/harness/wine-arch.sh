# Which Windows builds this machine runs under Wine. Sourced by the scripts that
# build, test, demonstrate or measure; each probes once per command.
#   wine_arch_probe   sets WINE_ARCHES ("32 64", "32", "64" or empty when
#                     neither runs) and WINE_ARCH_WHY (the reason, one phrase)
#   wine_arch_pick CALLER   for a script that runs one build: probes and sets
#                     WINE_ARCH to the 32-bit build, the product that ships,
#                     where it runs, else 64; ends the script when neither runs
#   wine_loader ARCH  prints the Wine loader for 32- or 64-bit programs
#   wine_arch_tree ARCH  prints the CMake preset (and build/ tree) of that build
# Some machines of this kind cannot execute 32-bit x86 code at all; there only
# the 64-bit build runs, in a 64-bit prefix through the 64-bit loader called
# directly (the `wine` script prefers the 32-bit loader whenever it is installed).
# UNINSTALL_WINE_ARCH=64 (or 32) forces one build on a machine that runs both.

wine_loader() {
  case $1 in
    32) echo /usr/lib/wine/wine ;;
    64) echo /usr/lib/wine/wine64 ;;
    *) echo "wine-arch: unknown architecture '$1' (32 or 64)" >&2; return 2 ;;
  esac
}

wine_arch_tree() {
  case $1 in
    32) echo windows ;;
    64) echo windows64 ;;
    *) echo "wine-arch: unknown architecture '$1' (32 or 64)" >&2; return 2 ;;
  esac
}

wine_arch_runs() {  # ARCH: the loader starts on this machine
  "$(wine_loader "$1")" --version >/dev/null 2>&1
}

wine_arch_probe() {
  local runs32=0 runs64=0
  wine_arch_runs 32 && runs32=1
  wine_arch_runs 64 && runs64=1
  local no32="this machine does not execute 32-bit code ($(wine_loader 32) --version fails)"
  local no64="64-bit Wine does not run here ($(wine_loader 64) --version fails; package wine64)"
  WINE_ARCHES=
  case ${UNINSTALL_WINE_ARCH:-} in
    64)
      WINE_ARCH_WHY="UNINSTALL_WINE_ARCH=64 forces the 64-bit build"
      if [ $runs64 = 1 ]; then WINE_ARCHES=64; else WINE_ARCH_WHY+=", but $no64"; fi ;;
    32)
      WINE_ARCH_WHY="UNINSTALL_WINE_ARCH=32 forces the 32-bit build"
      if [ $runs32 = 1 ]; then WINE_ARCHES=32; else WINE_ARCH_WHY+=", but $no32"; fi ;;
    '')
      if [ $runs32 = 1 ] && [ $runs64 = 1 ]; then
        WINE_ARCHES="32 64" WINE_ARCH_WHY="this machine executes 32-bit and 64-bit code"
      elif [ $runs32 = 1 ]; then
        WINE_ARCHES=32 WINE_ARCH_WHY=$no64
      elif [ $runs64 = 1 ]; then
        WINE_ARCHES=64 WINE_ARCH_WHY=$no32
      else
        WINE_ARCH_WHY="$no32, and $no64"
      fi ;;
    *)
      WINE_ARCH_WHY="UNINSTALL_WINE_ARCH='$UNINSTALL_WINE_ARCH' is neither 32 nor 64" ;;
  esac
}

wine_arch_pick() {
  wine_arch_probe
  if [ -z "$WINE_ARCHES" ]; then
    echo "$1: Wine runs no build here: $WINE_ARCH_WHY" >&2
    exit 1
  fi
  WINE_ARCH=${WINE_ARCHES%% *}
}
