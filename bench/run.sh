#!/usr/bin/env bash
# The benchmark, in one command from a fresh clone (as root on Debian 12):
#   bash bench/run.sh [N...]          default N: 200 2000 20000
# Environment: RUNS (rounds per tree size, default 5; RUNS_<N> for size N
# alone), CONTENDERS (the removal's contenders, default all: see below;
# CONTENDERS_<N> for size N alone, "before" ones added by BENCH_BEFORE),
# STARTUP_RUNS (default 10), RESTART_SIZES (default "100 1000"; empty: no
# restart-list part), RESTART_RUNS (default 7), RESTART_LINES (records in the
# restart list's logs, default 5000), BENCH_TMPFS=1 (lay the trees on a drive
# letter backed by /dev/shm instead of the prefix's disk), BENCH_CPU (the CPU
# the whole Wine session runs on, default the last one; "none" leaves placement
# to the scheduler), BENCH_BEFORE (another uninstall.exe of the same
# architecture, measured beside this one as "before", start-up included).
#
# Installs what it needs (scripts/setup.sh, then Debian's nsis, msitools, wixl
# and gnuplot-nox), builds uninstall.exe and the benchmark's programs, starts its
# own Wine session (tests/harness/wine-env.sh with the state directory
# build/bench/wine, stopped again by PID at the end) and measures, under that
# one prefix, the 32-bit build against 32-bit NSIS uninstallers. Where this
# machine does not execute 32-bit code (or with UNINSTALL_WINE_ARCH=64) it
# measures the 64-bit build (build/bench/wine64) against 64-bit NSIS
# uninstallers (makensis's amd64-unicode target) instead.
#   start-up   an empty GUI program, a program showing one window, and
#              uninstall.exe on an empty log: -S to its end, -C to the wizard,
#              to Finish, to its end
#   removal    for each N, on the same file set, interleaved, each on a freshly
#              laid tree (a freshly installed package for Windows Installer),
#              each run checked to have left nothing (uninstall.exe aside, which
#              goes at the next restart):
#                floor        DeleteFileA + RemoveDirectoryA only
#                ours-S       uninstall.exe -S
#                nsis-S       an NSIS uninstaller (one Delete per file, one RMDir
#                             per directory), /S _?=dir
#                msi-dir-qn   msiexec /x {product} /qn, a package with one
#                             component per directory (msi-file-qn: per file)
#                ours-wizard  uninstall.exe -C, its wizard driven to Finish
#                nsis-window  the NSIS uninstaller with its progress page, which
#                             closes itself at the end, _?=dir
#                msi-dir-qb   msiexec /x {product} /qb (msi-file-qb: per file)
#   restart    for each K: uninstall.exe on K files held open, so every one goes on
#              the restart list, spread among records that cost next to nothing,
#              against those records alone and against K plain MoveFileExA calls;
#              and the program's own scheduling code timed from inside (schedule_probe)
#   size       uninstall.exe as built
# Every time is taken by bench_driver.exe from the start of the contender's
# process; timed.py adds the CPU seconds of the contender and the wineserver.
# Results: build/bench/results/ (one TSV per measurement, summary.txt and the
# plot bench.png); the table is printed at the end.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$PWD
[ $# -gt 0 ] || set -- 200 2000 20000
RUNS=${RUNS:-5}
ALL_CONTENDERS="floor ours-S nsis-S msi-dir-qn msi-file-qn ours-wizard nsis-window msi-dir-qb msi-file-qb"
CONTENDERS=${CONTENDERS:-$ALL_CONTENDERS}
STARTUP_RUNS=${STARTUP_RUNS:-10}
RESTART_SIZES=${RESTART_SIZES-"100 1000"}
RESTART_RUNS=${RESTART_RUNS:-7}
RESTART_LINES=${RESTART_LINES:-5000}
BENCH_CPU=${BENCH_CPU:-$(( $(nproc) - 1 ))}
BENCH_BEFORE=${BENCH_BEFORE:+$(realpath "$BENCH_BEFORE")}
for n in "" "$@"; do
  var=CONTENDERS${n:+_$n}
  for c in ${!var:-}; do
    case " $ALL_CONTENDERS " in *" $c "*) ;; *) echo "bench: unknown contender $c in $var" >&2; exit 2 ;; esac
  done
done
[ -z "$BENCH_BEFORE" ] || [ -f "$BENCH_BEFORE" ] || { echo "bench: BENCH_BEFORE=$BENCH_BEFORE is no file" >&2; exit 2; }
with_before() {  # contenders: with BENCH_BEFORE's beside ours
  local list=$1
  if [ -n "$BENCH_BEFORE" ]; then
    case " $list " in *" ours-S "*) list+=" before-S" ;; esac
    case " $list " in *" ours-wizard "*) list+=" before-wizard" ;; esac
  fi
  echo "$list"
}

mkdir -p build/bench
bash scripts/setup.sh
# The peers and the plot: Debian's packages, installed once.
if ! command -v makensis >/dev/null || ! command -v wixl >/dev/null || ! command -v gnuplot >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends nsis msitools wixl gnuplot-nox >/dev/null
fi
source tests/harness/wine-arch.sh
wine_arch_pick bench
arch=$WINE_ARCH
tree=build/$(wine_arch_tree "$arch")
if [ "$arch" = 32 ]; then
  state=$repo/build/bench/wine bin=build/bench/bin compiler=i686-w64-mingw32-g++-posix
  nsis_target=x86-unicode
  echo "bench: the 32-bit build ($tree) against 32-bit peers, as $WINE_ARCH_WHY"
else
  state=$repo/build/bench/wine64 bin=build/bench/bin64 compiler=x86_64-w64-mingw32-g++-posix
  nsis_target=amd64-unicode
  echo "bench: the 64-bit build ($tree) against 64-bit peers, as $WINE_ARCH_WHY;" \
    "the 32-bit program that ships is not measured"
fi
echo "bench: building (log in build/bench/build.log)"
bash scripts/build.sh "$(wine_arch_tree "$arch")" >build/bench/build.log 2>&1 ||
  { tail -40 build/bench/build.log; exit 1; }
bash bench/build.sh "$arch" >>build/bench/build.log 2>&1 || { tail -40 build/bench/build.log; exit 1; }

results=$repo/build/bench/results
rm -rf "$results"
mkdir -p "$results"
tmpfs_dir=
cleanup() {
  bash tests/harness/wine-env.sh stop "$state" >/dev/null
  if [ -n "$tmpfs_dir" ]; then
    rm -rf "$tmpfs_dir"
    rm -f "${WINEPREFIX:?}/dosdevices/t:"
  fi
}
trap cleanup EXIT
bash tests/harness/wine-env.sh start "$state" "$arch" "$repo/$tree/tests/test_session_keeper.exe" >/dev/null
source "$state/env"

# Every process of the session (Wine's and the X server) on one CPU: a round
# trip to the wineserver or to X costs a few microseconds when both sides share
# a CPU, and twenty times more when the other side's CPU must be woken first,
# which the scheduler decides run by run. Programs started later inherit the
# setting from the driver.
pinned=()
if [ "$BENCH_CPU" != none ]; then
  [ -f "$state/xvfb.pid" ] && taskset -a -p -c "$BENCH_CPU" "$(cat "$state/xvfb.pid")" >/dev/null
  for p in /proc/[0-9]*; do
    case "$(readlink "$p/exe" 2>/dev/null)" in */wine*) ;; *) continue ;; esac
    tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    taskset -a -p -c "$BENCH_CPU" "${p#/proc/}" >/dev/null
  done
  pinned=(taskset -c "$BENCH_CPU")
fi

# C:\Bench holds the programs and the lists; the trees go under $tree_win.
bench_unix=$WINEPREFIX/drive_c/Bench
bench_win='C:\Bench'
bin_win="$bench_win\\bin"
tree_unix=$bench_unix
tree_win=$bench_win
if [ "${BENCH_TMPFS:-0}" = 1 ]; then
  tmpfs_dir=/dev/shm/uninstall-bench-$$
  mkdir -p "$tmpfs_dir"
  ln -sfn "$tmpfs_dir" "$WINEPREFIX/dosdevices/t:"
  tree_unix=$tmpfs_dir
  tree_win='T:'
fi
mkdir -p "$bench_unix/bin" "$bench_unix/nsis" "$bench_unix/lists" "$bench_unix/build"
cp "$bin"/*.exe "$bench_unix/bin/"
uninstaller=$repo/$tree/src/uninstall.exe
lang_ini=$repo/examples/lang.ini

# Runs the driver (never through a pipe: see tests/harness/wine-run.sh) under
# timed.py and prints the driver's result line with the CPU seconds it cost.
driver() {
  local out=$results/driver.out
  python3 bench/timed.py "$out" "$(cat "$state/wineserver.pid")" \
    "${pinned[@]}" "$WINELOADER" "$bin_win\\bench_driver.exe" "$@" >"$results/timed.out"
  echo "$(grep -a '=' "$out" | tail -n 1 | tr -d '\r') $(cat "$results/timed.out")"
}
field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" <<<"$2"; }
cpu() { awk -v a="$(field cpu_client "$1")" -v b="$(field cpu_server "$1")" 'BEGIN { printf "%.3f", a + b }'; }

# Lays the tree of N files at <tree>\NAME, its lists at C:\Bench\lists\NAME-N.
lay_tree() {  # n name
  rm -rf "${tree_unix:?}/$2"
  python3 bench/gen.py "$1" "$tree_unix/$2" "$tree_win\\$2" "$bench_unix/lists/$2-$1"
  sync
}
# Makes the tree an installation of ours: the uninstaller (BENCH_BEFORE's for
# "before"), its language file and the log, written back to the disk like the
# rest of the tree.
install_ours() {  # n name [exe]
  cp "${3:-$uninstaller}" "$tree_unix/$2/uninstall.exe"
  cp "$lang_ini" "$bench_unix/lists/$2-$1/uninstall.log" "$tree_unix/$2/"
  sync
}
# Entries left in the tree other than the allowed names; with none allowed the
# tree itself must be gone too.
leftovers() {  # name allowed...
  local root=$tree_unix/$1
  shift
  [ -e "$root" ] || { echo 0; return; }
  [ $# -gt 0 ] || { find "$root" | wc -l; return; }
  local pattern=() name
  for name in "$@"; do pattern+=(-e "$name"); done
  (cd "$root" && find . -mindepth 1 -printf '%P\n' | { grep -vxF "${pattern[@]}" || true; } | wc -l)
}
verify() {  # name allowed...: ok, LATE:k (gone 3 s after the process ended) or FAIL:k
  local k
  k=$(leftovers "$@")
  [ "$k" = 0 ] && { echo ok; return; }
  sleep 3
  if [ "$(leftovers "$@")" = 0 ]; then echo "LATE:$k"; else echo "FAIL:$k"; fi
}

# The NSIS uninstaller for the tree of N files, kept while its sources are older.
# Its paths are relative to $INSTDIR, which _?= sets, so it fits any tree root.
build_nsis() {  # n
  local n=$1 out=$bench_unix/nsis/uninst_$1.exe lists=$bench_unix/lists/App-$1
  if [ -f "$out" ] && [ "$out" -nt bench/gen.py ] && [ "$out" -nt bench/mknsi.py ]; then return 0; fi
  python3 bench/mknsi.py "$lists/files.lst" "$lists/dirs.lst" "$tree_win\\App" \
    "$bench_win\\nsis\\uninst_$n.exe" "$bench_unix/build/uninst_$n.nsi" "$bench_unix/build/mkuninst_$n.exe" \
    "$nsis_target"
  makensis -V2 "$bench_unix/build/uninst_$n.nsi" >"$results/makensis_$n.log" 2>&1
  rm -f "$out"
  "$WINELOADER" "$bench_win\\build\\mkuninst_$n.exe" </dev/null >"$results/mkuninst_$n.log" 2>&1 || true
  [ -f "$out" ] || { echo "bench: the NSIS uninstaller for $n files was not written" >&2; exit 1; }
}

# Windows Installer: the package of the tree of N files in one component
# layout (dir or file), built with wixl from the tree laid at <tree>\App and
# kept while its sources are older; its product code in the .code file beside
# it. Windows Installer keeps no property of an installation for its removal:
# the package's directories resolve by default to C:\Bench\App; on the tmpfs
# drive TARGETDIR names the drive on both command lines.
msiexec="C:\\windows\\system32\\msiexec.exe"
msi_props=
[ "$tree_win" = "$bench_win" ] || msi_props=" TARGETDIR=$tree_win\\"
build_msi() {  # n layout
  local base=$bench_unix/msi/app_$1_$2 lists=$bench_unix/lists/App-$1
  mkdir -p "$bench_unix/msi"
  if [ -f "$base.msi" ] && [ -f "$base.code" ] && [ "$base.msi" -nt bench/gen.py ] &&
      [ "$base.msi" -nt bench/mkwxs.py ]; then return 0; fi
  python3 bench/mkwxs.py "$lists/files.lst" "$lists/dirs.lst" "$tree_win\\App" "$tree_unix/App" "$2" \
    "Bench App $1 $2" "$bench_unix/build/app_$1_$2.wxs" >"$base.code.new"
  wixl -o "$base.msi" "$bench_unix/build/app_$1_$2.wxs" >"$results/wixl_$1_$2.log" 2>&1 ||
    { tail "$results/wixl_$1_$2.log" >&2; exit 1; }
  mv "$base.code.new" "$base.code"
  # A product an interrupted run left installed goes first.
  "${pinned[@]}" "$WINELOADER" "$msiexec" /x "$(cat "$base.code")" /qn$msi_props </dev/null >/dev/null 2>&1 || true
}
# Installs the package (untimed) and checks that it laid every file.
install_msi() {  # n layout
  rm -rf "${tree_unix:?}/App"
  "${pinned[@]}" "$WINELOADER" "$msiexec" /i "$bench_win\\msi\\app_$1_$2.msi" /qn$msi_props \
    </dev/null >"$results/msi-install.log" 2>&1 || true
  local laid
  laid=$(find "$tree_unix/App" -type f 2>/dev/null | wc -l)
  [ "$laid" = "$1" ] || { echo "bench: the $2 package of $1 files installed $laid" >&2; exit 1; }
  sync
}

{
  echo "machine: $(nproc) CPUs,$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)," \
    "$(awk '/MemTotal/ {printf "%.0f GB", $2/1048576}' /proc/meminfo), kernel $(uname -r)"
  echo "software: $("$WINELOADER" --version), makensis $(makensis -VERSION) ($nsis_target)," \
    "wixl $(wixl --version), $($compiler --version | head -n 1)"
  echo "trees on: $tree_win = $(df -T "$tree_unix" | awk 'NR==2 {print $2 " (" $1 ")"}'); rounds: $RUNS;" \
    "Wine session on CPU: $BENCH_CPU"
  [ -z "$BENCH_BEFORE" ] || echo "before: $BENCH_BEFORE"
  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$results/machine.txt"
echo "$(stat -c %s "$uninstaller") $arch" >"$results/size.txt"

# --- start-up ------------------------------------------------------------------
# uninstall.exe on a log without records, in C:\Bench\Start: -S to its end, and
# -C to the wizard, to Finish enabled, to its end.
startup_ours() {  # label exe run
  local line check
  rm -rf "$tree_unix/Start"
  mkdir -p "$tree_unix/Start"
  printf 'Bench App\r\nBenchApp\r\nEnglish\r\n' >"$tree_unix/Start/uninstall.log"
  cp "$2" "$tree_unix/Start/uninstall.exe"
  cp "$lang_ini" "$tree_unix/Start/"
  line=$(driver silent "$tree_win\\Start")
  check=$(verify Start uninstall.exe)
  [ "$(field restart_check "$line")" = ok ] || check="$check restart:$(field restart_check "$line")"
  [ "$(field exit_code "$line")" = 0 ] || check="$check exit:$(field exit_code "$line")"
  printf '%s-S\t%s\t%s\t\t%s\t%s\t%s\n' "$1" "$3" "$(field seconds "$line")" "$(field seconds "$line")" \
    "$(cpu "$line")" "$check" >>"$results/startup.tsv"
  printf 'Bench App\r\nBenchApp\r\nEnglish\r\n' >"$tree_unix/Start/uninstall.log"
  cp "$lang_ini" "$tree_unix/Start/"
  line=$(driver uninstall "$tree_win\\Start")
  check=$(verify Start uninstall.exe)
  [ "$(field restart_check "$line")" = ok ] || check="$check restart:$(field restart_check "$line")"
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$3" "$(field wizard_s "$line")" "$(field finish_s "$line")" \
    "$(field exit_s "$line")" "$(cpu "$line")" "$check" >>"$results/startup.tsv"
  rm -rf "$tree_unix/Start"
}
echo "bench: start-up, $STARTUP_RUNS rounds"
printf 'program\trun\tstart_s\tfinish_s\texit_s\tcpu\tcheck\n' >"$results/startup.tsv"
for r in $(seq "$STARTUP_RUNS"); do
  line=$(driver run "$bin_win\\empty_gui.exe")
  printf 'empty_gui\t%s\t%s\t\t%s\t%s\t%s\n' "$r" "$(field seconds "$line")" "$(field seconds "$line")" \
    "$(cpu "$line")" "exit:$(field exit_code "$line")" >>"$results/startup.tsv"
  line=$(driver window "$bin_win\\empty_window.exe")
  printf 'empty_window\t%s\t%s\t\t%s\t%s\t%s\n' "$r" "$(field window_s "$line")" \
    "$(field exit_s "$line")" "$(cpu "$line")" "exit:$(field exit_code "$line")" >>"$results/startup.tsv"
  startup_ours ours "$uninstaller" "$r"
  [ -z "$BENCH_BEFORE" ] || startup_ours before "$BENCH_BEFORE" "$r"
done

# --- removal of N files ------------------------------------------------------------
# One contender's run on a fresh tree; prints its TSV line.
removal_run() {  # contender n round
  local c=$1 n=$2 r=$3 line check seconds exit_s window_s=
  local lists="$bench_win\\lists\\App-$n" exe=$uninstaller
  case $c in
    msi-*) install_msi "$n" "$(cut -d- -f2 <<<"$c")" ;;
    ours-*) lay_tree "$n" App; install_ours "$n" App ;;
    before-*) lay_tree "$n" App; install_ours "$n" App "$BENCH_BEFORE" ;;
    *) lay_tree "$n" App ;;
  esac
  case $c in
    floor) line=$(driver run "$bin_win\\floor.exe $lists\\files.lst $lists\\dirs.lst") ;;
    nsis-S) line=$(driver run "$bench_win\\nsis\\uninst_$n.exe /S _?=$tree_win\\App") ;;
    nsis-window) line=$(driver windowed "$bench_win\\nsis\\uninst_$n.exe _?=$tree_win\\App") ;;
    msi-*-qn) line=$(driver run "$msiexec /x $(cat "$bench_unix/msi/app_${n}_$(cut -d- -f2 <<<"$c").code") /qn$msi_props") ;;
    msi-*-qb) line=$(driver windowed "$msiexec /x $(cat "$bench_unix/msi/app_${n}_$(cut -d- -f2 <<<"$c").code") /qb$msi_props") ;;
    *-S) line=$(driver silent "$tree_win\\App") ;;
    *-wizard) line=$(driver uninstall "$tree_win\\App") ;;
  esac
  case $c in
    ours-*|before-*)
      check=$(verify App uninstall.exe)
      [ "$(field restart_check "$line")" = ok ] || check="$check restart:$(field restart_check "$line")" ;;
    *) check=$(verify App) ;;
  esac
  case $c in
    *-wizard)
      [ "$(field progress "$line")" = 100 ] || check="$check progress:$(field progress "$line")"
      seconds=$(field finish_s "$line") exit_s=$(field exit_s "$line") ;;
    *)
      [ "$(field exit_code "$line")" = 0 ] || check="$check exit:$(field exit_code "$line")"
      seconds=$(field seconds "$line") exit_s=$seconds window_s=$(field window_s "$line") ;;
  esac
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$c" "$r" "$seconds" "$exit_s" "$window_s" "$(cpu "$line")" "$check"
}
for n in "$@"; do
  runs_var=RUNS_$n contenders_var=CONTENDERS_$n
  runs=${!runs_var:-$RUNS} contenders=${!contenders_var:-$CONTENDERS}
  contenders=$(with_before "$contenders")
  lay_tree "$n" App
  case " $contenders " in *" nsis-"*) build_nsis "$n" ;; esac
  case " $contenders " in *" msi-dir-"*) build_msi "$n" dir ;; esac
  case " $contenders " in *" msi-file-"*) build_msi "$n" file ;; esac
  echo "bench: $n files, $runs rounds of: $contenders"
  tsv=$results/files-$n.tsv
  printf 'contender\trun\tseconds\texit_s\twindow_s\tcpu\tcheck\n' >"$tsv"
  read -r -a order <<<"$contenders"
  for r in $(seq "$runs"); do
    for c in "${order[@]}"; do
      removal_run "$c" "$n" "$r" >>"$tsv"
      tail -n 1 "$tsv" | awk -F'\t' '{ printf "  run %s %-12s %8.3f s  %8.3f s  cpu %6.2f s  %s\n", $2, $1, $3, $4, $6, $7 }'
    done
    # The order turns from round to round, so no contender always follows the same one.
    order=("${order[@]:1}" "${order[0]}")
  done
  rm -rf "${tree_unix:?}/App"
done

# --- restart list --------------------------------------------------------------------
# Logs of RESTART_LINES records: records that cost next to nothing (registry
# values that do not exist) with, in the held runs, the K files spread among them.
# The driver holds the files open, so each goes on the list; the difference per
# file against the log without them is what a file that goes on the list costs.
# With that many records every step of the progress bar has more work than the
# bar's repaint, which would otherwise hide it.
restart_log() {  # k with_files(0|1)
  printf 'Bench App\r\nBenchApp\r\nEnglish\r\n'
  awk -v lines="$RESTART_LINES" -v k="$1" -v files="$2" '
    { sub(/\r$/, ""); file[n++] = $0 }
    END {
      step = int(lines / k)
      for (i = 0; i < lines; i++) {
        if (files && i % step == 0 && used < n) printf "%s\r\n", file[used++]
        else printf ":HKEY_CURRENT_USER\\Software\\UninstallBench\\Missing\\value %d\r\n", i
      }
    }' "$bench_unix/lists/Held-$1/files.lst"
}
# The sizes take turns within each round, so that both meet the same conditions.
[ -n "$RESTART_SIZES" ] || RESTART_RUNS=0
echo "bench: restart list, K = ${RESTART_SIZES:-(none)} files held open among $RESTART_LINES records, $RESTART_RUNS rounds"
for k in $RESTART_SIZES; do
  printf 'contender\trun\tseconds\tcpu\tentries\tcheck\n' >"$results/restart-$k.tsv"
  printf 'run\tper_file_us\tfirst_tenth_us\tlast_tenth_us\tentries\n' >"$results/probe-$k.tsv"
done
for r in $(seq "$RESTART_RUNS"); do
  for k in $RESTART_SIZES; do
    tsv=$results/restart-$k.tsv
    probe=$results/probe-$k.tsv
    held="$bench_win\\lists\\Held-$k\\files.lst"
    lay_tree "$k" Held
    cp "$uninstaller" "$lang_ini" "$tree_unix/Held/"
    restart_log "$k" 0 >"$tree_unix/Held/uninstall.log"
    line=$(driver uninstall "$tree_win\\Held")
    printf 'baseline\t%s\t%s\t%s\t%s\t%s\n' "$r" "$(field finish_s "$line")" "$(cpu "$line")" \
      "$(field restart_entries "$line")" "$(field restart_check "$line")" >>"$tsv"
    cp "$uninstaller" "$lang_ini" "$tree_unix/Held/"
    restart_log "$k" 1 >"$tree_unix/Held/uninstall.log"
    line=$(driver uninstall "$tree_win\\Held" "$held")
    printf 'held\t%s\t%s\t%s\t%s\t%s\n' "$r" "$(field finish_s "$line")" "$(cpu "$line")" \
      "$(field restart_entries "$line")" "$(field restart_check "$line")" >>"$tsv"
    line=$(driver schedule "$held")
    printf 'movefileex\t%s\t%s\t%s\t%s\t%s\n' "$r" "$(field seconds "$line")" "$(cpu "$line")" \
      "$(field restart_entries "$line")" "$(field restart_check "$line")" >>"$tsv"
    "${pinned[@]}" "$WINELOADER" "$bin_win\\schedule_probe.exe" "$held" </dev/null >"$results/probe.out" 2>&1 || true
    line=$(grep -a 'per_file_us=' "$results/probe.out" | tail -n 1 | tr -d '\r')
    printf '%s\t%s\t%s\t%s\t%s\n' "$r" "$(field per_file_us "$line")" "$(field first_tenth_us "$line")" \
      "$(field last_tenth_us "$line")" "$(field restart_entries "$line")" >>"$probe"
    tail -n 3 "$tsv" | awk -F'\t' -v k="$k" '{ printf "  run %s K=%-5s %-10s %8.3f s  %5s entries  %s\n", $2, k, $1, $3, $5, $6 }'
    tail -n 1 "$probe" | awk -F'\t' -v k="$k" '{ printf "  run %s K=%-5s probe      %8.1f us per file\n", $1, k, $2 }'
  done
done
rm -rf "${tree_unix:?}/Held"

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)" >>"$results/machine.txt"
echo
python3 bench/summary.py "$results" | tee "$results/summary.txt"
