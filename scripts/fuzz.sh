#!/usr/bin/env bash
# Runs the fuzz targets of fuzz/ for a fixed time or number of runs each and
# prints how many inputs each one executed.
#   scripts/fuzz.sh [-t SECONDS | -r RUNS] [TARGET...]    (default: -t 60, every target)
# New inputs are kept in build/fuzz/fuzz/corpus/TARGET, findings are written to
# build/fuzz/fuzz/artifacts/ and end the script with exit code 1.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
limit=(-max_total_time=60)
while getopts "t:r:" option; do
  case $option in
    t) limit=(-max_total_time="$OPTARG") ;;
    r) limit=(-runs="$OPTARG") ;;
    *) echo "usage: scripts/fuzz.sh [-t SECONDS | -r RUNS] [TARGET...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

bash scripts/setup.sh
cmake --preset fuzz >/dev/null  # again each time, so a changed preset reaches the tree
cmake --build --preset fuzz
artifacts=build/fuzz/fuzz/artifacts
mkdir -p "$artifacts"

failed=0
while read -r name program corpus seeds; do
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  log=$artifacts/$name.log
  if "$program" "${limit[@]}" -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
       "$corpus" "$seeds" >"$log" 2>&1; then
    result=passed
  else
    result="FAILED (see $log)"
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  printf '%-20s %12s runs %8s/s  %s\n' "$name" "${runs:-?}" "${speed:-?}" "$result"
done <build/fuzz/fuzzers.txt
exit $failed
