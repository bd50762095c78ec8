#!/usr/bin/env bash
# One Wine session for a whole test run: one Xvfb, one persistent wineserver on a
# private prefix, and a hidden keeper window that holds Wine's desktop open.
#   wine-env.sh start STATE_DIR ARCH [KEEPER_EXE]   start (idempotent), write STATE_DIR/env
#   wine-env.sh stop STATE_DIR                      stop everything it started, by PID
# ARCH 32: a 32-bit prefix and the 32-bit loader; ARCH 64: a 64-bit prefix and
# the 64-bit loader. STATE_DIR/env names the loader as WINELOADER: callers start
# programs with "$WINELOADER", never with the `wine` script, which picks the
# 32-bit loader whenever it is installed.
# The prefix is created once (STATE_DIR/prefix) and kept between runs. With
# WINE_ENV_DISPLAY set, programs show on that display instead of a new Xvfb.
set -u
usage="usage: wine-env.sh start STATE_DIR ARCH [KEEPER_EXE] | stop STATE_DIR"
cmd=${1:?$usage} state=${2:?$usage}
state=$(mkdir -p "$state" && cd "$state" && pwd)
prefix_version=3   # bump when the prefix settings below change
source "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"

export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

alive() {  # pid file $1 names a live, non-zombie process
  local pid
  [ -f "$1" ] && pid=$(cat "$1") && kill -0 "$pid" 2>/dev/null || return 1
  [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]
}

within() {  # tenths of a second, command: whether the command succeeds within that time
  local i
  for ((i = 0; i < $1; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}

gone() { ! alive "$1"; }

spawn() {  # name, command...: started in a session of its own, its PID in STATE_DIR/name.pid
  setsid "${@:2}" </dev/null >"$state/$1.log" 2>&1 &
  echo $! >"$state/$1.pid"
}

end() {  # name, signal, tenths of a second to wait before SIGKILL
  alive "$state/$1.pid" || return 0
  kill -"$2" "$(cat "$state/$1.pid")"
  within "$3" gone "$state/$1.pid" || kill -KILL "$(cat "$state/$1.pid")" 2>/dev/null
}

prefix_pids() {  # wine processes of this prefix (found by environment, stopped by PID)
  local p
  for p in /proc/[0-9]*; do
    case "$(readlink "$p/exe" 2>/dev/null)" in */wine*|*/wineserver*) ;; *) continue ;; esac
    tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "${p#/proc/}"
  done
}

start_xvfb() {
  if [ -n "${WINE_ENV_DISPLAY:-}" ]; then echo "${WINE_ENV_DISPLAY#:}" >"$state/display"; return; fi
  alive "$state/xvfb.pid" && return
  rm -f "$state/display"
  spawn xvfb Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display"
  within 100 test -s "$state/display" && return
  echo "wine-env: Xvfb did not start (see $state/xvfb.log)" >&2
  return 1
}

setup_prefix() {
  local version="$prefix_version $WINEARCH"
  [ "$(cat "$state/prefix.version" 2>/dev/null)" = "$version" ] && return 0
  rm -rf "$WINEPREFIX"
  # Settings of the test prefix: no window manager round trips on every hide,
  # no blocking crash dialog from winedbg.
  { "$WINELOADER" wineboot -i
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  } </dev/null >"$state/wineboot.log" 2>&1
  wineserver -w
  echo "$version" >"$state/prefix.version"
}

start() {
  local arch=${1:?$usage} keeper=${2:-}
  export WINELOADER WINEARCH=win$arch
  WINELOADER=$(wine_loader "$arch") || exit 2
  wine_arch_runs "$arch" ||
    { echo "wine-env: no $arch-bit Wine session here: $WINELOADER --version fails" >&2; exit 1; }
  start_xvfb || exit 1
  export DISPLAY=:$(cat "$state/display")
  if ! alive "$state/wineserver.pid"; then
    setup_prefix
    spawn wineserver wineserver -p -f
    sleep 0.5
    # Start the prefix's own processes now, with no pipe they could inherit.
    "$WINELOADER" cmd /c exit </dev/null >"$state/warmup.log" 2>&1
  fi
  [ -n "$keeper" ] && ! alive "$state/keeper.pid" && spawn keeper "$WINELOADER" "$keeper"
  export -p | grep -E ' (WINEPREFIX|WINEDEBUG|WINEDLLOVERRIDES|DISPLAY|WINEARCH|WINELOADER)=' \
    >"$state/env"
  echo "wine-env: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $WINEARCH wineserver pid $(cat "$state/wineserver.pid")"
}

stop() {
  local p
  end wineserver INT 50  # SIGINT makes the server end its client processes before it exits
  for p in $(prefix_pids); do kill -KILL "$p" 2>/dev/null; done
  end keeper KILL 0
  end xvfb TERM 30
  rm -f "$state/wineserver.pid" "$state/keeper.pid" "$state/xvfb.pid" "$state/env"
  echo "wine-env: stopped"
}

case "$cmd" in
  start) start "${@:3}" ;;
  stop) stop ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
