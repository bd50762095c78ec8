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

wine_arch_suffix() {  # ARCH: what the names of that build end with
  case $1 in
    32) echo "" ;;
    64) echo 64 ;;
    *) echo "wine-arch: unknown architecture '$1' (32 or 64)" >&2; return 2 ;;
  esac
}

wine_loader() { local suffix; suffix=$(wine_arch_suffix "$1") && echo "/usr/lib/wine/wine$suffix"; }

wine_arch_tree() { local suffix; suffix=$(wine_arch_suffix "$1") && echo "windows$suffix"; }

wine_arch_runs() {  # ARCH: the loader starts on this machine
  "$(wine_loader "$1")" --version >/dev/null 2>&1
}

wine_arch_probe() {
  local arch forced=${UNINSTALL_WINE_ARCH:-}
  local -A no=([32]="this machine does not execute 32-bit code ($(wine_loader 32) --version fails)"
               [64]="64-bit Wine does not run here ($(wine_loader 64) --version fails; package wine64)")
  WINE_ARCHES= WINE_ARCH_WHY=
  if [ -n "$forced" ] && [ "$forced" != 32 ] && [ "$forced" != 64 ]; then
    WINE_ARCH_WHY="UNINSTALL_WINE_ARCH='$forced' is neither 32 nor 64"
    return
  fi
  for arch in ${forced:-32 64}; do
    if wine_arch_runs "$arch"; then
      WINE_ARCHES+=${WINE_ARCHES:+ }$arch
    else
      WINE_ARCH_WHY+=${WINE_ARCH_WHY:+, and }${no[$arch]}
    fi
  done
  if [ -n "$forced" ]; then
    WINE_ARCH_WHY="UNINSTALL_WINE_ARCH=$forced forces the $forced-bit build${WINE_ARCH_WHY:+, but $WINE_ARCH_WHY}"
  elif [ "$WINE_ARCHES" = "32 64" ]; then
    WINE_ARCH_WHY="this machine executes 32-bit and 64-bit code"
  fi
}

wine_arch_pick() {
  wine_arch_probe
  [ -n "$WINE_ARCHES" ] || { echo "$1: Wine runs no build here: $WINE_ARCH_WHY" >&2; exit 1; }
  WINE_ARCH=${WINE_ARCHES%% *}
}
