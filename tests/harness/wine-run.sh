#!/usr/bin/env bash
# Runs a Windows program in the test session started by wine-env.sh and passes
# on its output and exit code. Wine's output goes through a file, never a pipe:
# Wine's own background processes would inherit a pipe and keep it open.
#   wine-run.sh STATE_DIR [--win98] PROGRAM [ARGS...]
# --win98: Wine presents the 9x family (Windows 98) to this program's file name.
set -u
state=${1:?state directory} && shift
[ -f "$state/env" ] ||
  { echo "wine-run: no Wine session in $state (run wine-env.sh start first)" >&2; exit 2; }
source "$state/env"
if [ "${1:-}" = --win98 ]; then
  shift
  "$WINELOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$1")" /v Version /d win98 /f \
    </dev/null >/dev/null 2>&1
fi
out=$(mktemp "$state/run.XXXXXX")
"$WINELOADER" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
