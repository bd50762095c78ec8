#!/usr/bin/env python3
"""The table of a benchmark run: summary.py RESULTS_DIR (written by bench/run.sh).

Times are seconds from the start of the contender's process, median, min and
max over the runs; cpu is the median of the CPU seconds of the contender's
processes plus the wineserver's, which waiting on a busy machine does not inflate.
"""
import csv
import glob
import os
import re
import statistics
import subprocess
import sys

GOAL_SIZE_KIB = 120
GOAL_RESTART = 3.0

# The removal's contenders: (name in the TSVs, label, mode). The time of a run
# is its process's, from start to end; ours with the wizard ends when the
# driver has pressed Finish as soon as it was enabled.
CONTENDERS = (
    ("floor", "floor", "floor"),
    ("ours-S", "ours -S", "unattended"),
    ("before-S", "before -S", "unattended"),
    ("nsis-S", "NSIS /S", "unattended"),
    ("msi-dir-qn", "MSI /qn, per dir", "unattended"),
    ("msi-file-qn", "MSI /qn, per file", "unattended"),
    ("ours-wizard", "ours, wizard", "window"),
    ("before-wizard", "before, wizard", "window"),
    ("nsis-window", "NSIS, window", "window"),
    ("msi-dir-qb", "MSI /qb, per dir", "window"),
    ("msi-file-qb", "MSI /qb, per file", "window"),
)
LABEL = {name: label for name, label, _ in CONTENDERS}
PEERS = {"unattended": ("nsis-S", "msi-dir-qn", "msi-file-qn"),
         "window": ("nsis-window", "msi-dir-qb", "msi-file-qb")}
OURS = {"unattended": "ours-S", "window": "ours-wizard"}
BEFORE = {"unattended": "before-S", "window": "before-wizard"}
# The targets, by mode and tree size: (what ours is divided by, at most).
# "fastest" is the fastest peer of the same mode in the same round, "each"
# every peer of the mode on its own.
TARGETS = {
    ("unattended", 200): ("fastest", 0.8),
    ("unattended", 2000): ("floor", 1.5),
    ("unattended", 20000): ("floor", 1.10),
    ("window", 200): ("fastest", 1.0),
    ("window", 2000): ("each", 1.0),
    ("window", 20000): ("each", 1.0),
}


def rows(path):
    with open(path) as f:
        return list(csv.DictReader(f, delimiter="\t"))


def numbers(rs, key):
    return [float(r[key]) for r in rs if r.get(key)]


def triple(values):
    return "%8.3f %8.3f %8.3f" % (statistics.median(values), min(values), max(values))


def goal(value, limit):
    return "%.3f (goal <= %.2f: %s)" % (value, limit, "met" if value <= limit else "MISSED")


def sized(pattern, res):
    found = glob.glob(os.path.join(res, pattern))
    return sorted((int(re.search(r"-(\d+)\.tsv$", p).group(1)), p) for p in found)


def startup(res):
    path = os.path.join(res, "startup.tsv")
    if not os.path.exists(path):
        return None
    r = rows(path)
    print("\nStart-up (%s rounds), uninstall.exe on a log without records" % r[-1]["run"])
    print("%-50s %8s %8s %8s %8s" % ("", "median", "min", "max", "cpu"))
    of = lambda program: [x for x in r if x["program"] == program]
    lines = [("empty_gui", "start_s", "empty GUI program, start to end"),
             ("empty_window", "start_s", "program with one window, start to window")]
    for who in ("ours", "before"):
        if of(who):
            lines += [(who + "-S", "start_s", "%s -S, start to end" % who),
                      (who, "start_s", "%s -C: to the wizard" % who),
                      (who, "finish_s", "  to Finish enabled"),
                      (who, "exit_s", "  whole process, Finish pressed")]
    for program, key, label in lines:
        if not numbers(of(program), key):
            continue
        cpu = "%8.3f" % statistics.median(numbers(of(program), "cpu")) if key != "finish_s" else ""
        print("%-50s %s %s" % (label, triple(numbers(of(program), key)), cpu))
    for who in ("ours", "ours-S", "before", "before-S"):
        bad = [x["check"] for x in of(who) if x["check"] != "ok"]
        if bad:
            print("  %s: check failed in %d runs: %s" % (who, len(bad), ", ".join(bad)))


def by_round(mine, key):
    return {x["run"]: float(x[key]) for x in mine if x[key]}


def quotient(ours, other, rounds):
    """Ours over the other contender (one, or the fastest of several) in each round."""
    return [ours[k] / min(o[k] for o in other) for k in rounds]


def ratio_line(label, ratios, cpu):
    return "         %-46s %6.3f %6.3f %6.3f %8.3f" % (
        label, min(ratios), statistics.median(ratios), max(ratios), statistics.median(cpu))


def removal(res):
    """The table of every size; returns {contender: {n: median seconds}} for the plot and
    the windowed contenders that never showed a window."""
    tables = sized("files-*.tsv", res)
    medians = {}
    windowless = set()
    if not tables:
        return medians, windowless
    print("\nRemoving N files: seconds from the process's start to its end, over the rounds"
          "\n(ours, wizard: the driver presses Finish as soon as it is enabled)")
    print("%-6s %-20s %8s %8s %8s %8s %9s  %s" % ("N", "contender", "median", "min", "max", "cpu",
                                                 "us/file", "checked"))
    verdicts = []
    for n, path in tables:
        r = rows(path)
        times, cpus = {}, {}
        no_window = set()  # windowed contenders that showed none: no peers with a window
        for name, label, mode in CONTENDERS:
            mine = [x for x in r if x["contender"] == name]
            if not mine:
                continue
            t = numbers(mine, "exit_s")
            times[name] = by_round(mine, "exit_s")
            cpus[name] = by_round(mine, "cpu")
            medians.setdefault(name, {})[n] = statistics.median(t)
            failed = [x["check"] for x in mine if x["check"] != "ok"]
            note = " (%s)" % ", ".join(failed) if failed else ""
            if mode == "window" and not name.endswith("wizard"):
                shown = [float(x["window_s"]) for x in mine if x.get("window_s") and float(x["window_s"]) >= 0]
                note += "; window in %d/%d runs" % (len(shown), len(mine))
                if not shown:
                    no_window.add(name)
                    windowless.add(name)
            print("%-6d %-20s %s %8.2f %9.1f  %d/%d ok%s" % (
                n, label, triple(t), statistics.median(numbers(mine, "cpu")),
                statistics.median(t) / n * 1e6, len(mine) - len(failed), len(mine), note))
            if name.endswith("wizard"):
                print("%-6s %-20s %s" % ("", "  to Finish enabled", triple(numbers(mine, "seconds"))))
        print("       ratios of single rounds:%24s %6s %6s %6s %8s" % ("", "min", "median", "max", "cpu"))
        for mode in ("unattended", "window"):
            ours = times.get(OURS[mode])
            if not ours:
                continue
            listed = [p for p in PEERS[mode] if p in times]
            peers = [p for p in listed if p not in no_window]
            quotients = {}
            for other in ["floor"] + listed + ["fastest", BEFORE[mode]]:
                others = peers if other == "fastest" else [other] if other in times else []
                rounds = [k for k in ours if others and all(k in times[o] for o in others)]
                if not rounds:
                    continue
                values = quotient(ours, [times[o] for o in others], rounds)
                cpu = quotient(cpus[OURS[mode]], [cpus[o] for o in others], rounds)
                if other == "fastest":
                    label = "fastest peer" + (" with a window" if mode == "window" else "")
                else:
                    label = LABEL[other] + (" (no window)" if other in no_window else "")
                quotients[other] = values
                if other != "fastest" or len(peers) > 1:
                    print(ratio_line("%s / %s" % (LABEL[OURS[mode]], label), values, cpu))
            target = TARGETS.get((mode, n))
            if target:
                against, limit = target
                checks = peers if against == "each" else [against]
                for other in checks:
                    if quotients.get(other):
                        value = statistics.median(quotients[other])
                        verdicts.append("%-6d %-10s %s / %s: %s" % (
                            n, mode, LABEL[OURS[mode]],
                            "fastest peer (%s)" % ", ".join(LABEL[p] for p in peers) if other == "fastest"
                            else LABEL[other], goal(value, limit)))
                if mode == "window" and no_window & set(listed):
                    verdicts.append("%-6d %-10s (no window, so no peer with a window: %s)" % (
                        n, mode, ", ".join(LABEL[p] for p in listed if p in no_window)))
    if verdicts:
        print("\nTargets (medians of the ratios above):")
        for line in verdicts:
            print("  " + line)
    return medians, windowless


def plot(res, medians, windowless):
    """bench.png: seconds against files, both on log scales, one line per contender."""
    sizes = sorted({n for values in medians.values() for n in values})
    names = [name for name, _, _ in CONTENDERS if name in medians]
    if len(sizes) < 2 or not names:
        return
    with open(os.path.join(res, "plot.dat"), "w") as out:
        out.write("# N " + " ".join(names) + "\n")
        for n in sizes:
            out.write("%d %s\n" % (n, " ".join("%.5f" % medians[c][n] if n in medians[c] else "NaN"
                                               for c in names)))
    machine = open(os.path.join(res, "machine.txt")).readline().split(",")[1].strip()
    style = {"floor": "lc rgb 'black' dt 3", "ours": "lc rgb '#c00000'", "before": "lc rgb '#f08080'",
             "nsis": "lc rgb '#0060c0'", "msi-dir": "lc rgb '#20a020'", "msi-file": "lc rgb '#a0a000'"}
    lines = []
    for i, name in enumerate(names):
        family = name.rsplit("-", 1)[0] if name.startswith("msi") else name.split("-")[0]
        dash = " dt 2" if dict((c, m) for c, _, m in CONTENDERS)[name] == "window" else ""
        lines.append("'plot.dat' using 1:%d with linespoints lw 2 pt 7 ps 0.8 %s%s title '%s'" % (
            i + 2, style[family], dash if family != "floor" else "",
            LABEL[name] + (" (no window)" if name in windowless else "")))
    script = "\n".join([
        "set terminal pngcairo size 900,600 font 'sans,10'",
        "set output 'bench.png'",
        "set logscale xy",
        "set xlabel 'files'",
        "set ylabel 'seconds, start to end (median)'",
        'set title "Removing N files under Wine: unattended (solid), with a window (dashed)\\n%s"' % machine,
        "set key outside right top Left reverse",
        "set grid",
        "set xtics (%s)" % ", ".join("'%d' %d" % (n, n) for n in sizes),
        "plot " + ", \\\n     ".join(lines), ""])
    with open(os.path.join(res, "plot.gp"), "w") as out:
        out.write(script)
    try:
        subprocess.run(["gnuplot", "plot.gp"], cwd=res, check=True)
        print("\nplot: %s" % os.path.join(res, "bench.png"))
    except (OSError, subprocess.CalledProcessError) as error:
        print("\nplot: not drawn (%s)" % error)


def restart(res):
    tables = sized("restart-*.tsv", res)
    if not tables:
        return
    print("\nRestart list: uninstall.exe on a log of records that do nothing, and on the same log with K"
          "\nof them files held open, each of which goes on the list; per scheduled file:"
          "\n(held - nothing) / K, medians; MoveFileExA: the K calls alone / K")
    print("%-6s %-16s %8s %8s %8s %8s %9s  %s" % ("K", "contender", "median", "min", "max", "cpu",
                                                 "us/file", "checked"))
    per_file = {}
    for k, path in tables:
        r = rows(path)
        med, cpu = {}, {}
        for contender, label in (("baseline", "ours, nothing"), ("held", "ours, held"),
                                 ("movefileex", "K x MoveFileExA")):
            mine = [x for x in r if x["contender"] == contender]
            if not mine:
                continue
            t = numbers(mine, "seconds")
            med[contender] = statistics.median(t)
            cpu[contender] = statistics.median(numbers(mine, "cpu"))
            failed = [x["check"] for x in mine if x["check"] != "ok"]
            each = "%9.1f" % (med[contender] / k * 1e6) if contender == "movefileex" else " " * 9
            print("%-6d %-16s %s %8.2f %s  %d/%d ok, %s entries%s" % (
                k, label, triple(t), cpu[contender], each,
                len(mine) - len(failed), len(mine), mine[-1]["entries"],
                " (%s)" % ", ".join(failed) if failed else ""))
        if "held" in med and "baseline" in med:
            per_file[("ours", k)] = (med["held"] - med["baseline"]) / k * 1e6
            print("       per scheduled file: %.1f us (cpu %.1f us)" % (
                per_file[("ours", k)], (cpu["held"] - cpu["baseline"]) / k * 1e6))
        if "movefileex" in med:
            per_file[("movefileex", k)] = med["movefileex"] / k * 1e6
    probes = sized("probe-*.tsv", res)
    if probes:
        print("The uninstaller's ScheduleDeleteAtRestart timed from inside (schedule_probe), us per file")
        print("%-6s %-16s %8s %8s %8s %12s %12s" % ("K", "", "median", "min", "max", "first tenth",
                                                  "last tenth"))
    for k, path in probes:
        r = rows(path)
        each = numbers(r, "per_file_us")
        if not each:
            continue
        per_file[("probe", k)] = statistics.median(each)
        print("%-6d %-16s %8.1f %8.1f %8.1f %12.1f %12.1f  %s entries" % (
            k, "ScheduleDelete..", statistics.median(each), min(each), max(each),
            statistics.median(numbers(r, "first_tenth_us")), statistics.median(numbers(r, "last_tenth_us")),
            r[-1]["entries"]))
    sizes = [k for k, _ in tables]
    if len(sizes) >= 2:
        lo, hi = sizes[0], sizes[-1]
        for contender, label in (("probe", "ScheduleDeleteAtRestart"), ("ours", "uninstall.exe"),
                                 ("movefileex", "MoveFileExA")):
            if per_file.get((contender, lo), 0) > 0 and (contender, hi) in per_file:
                ratio = per_file[(contender, hi)] / per_file[(contender, lo)]
                print("per scheduled file at K=%d / K=%d, %s: %s" % (
                    hi, lo, label, goal(ratio, GOAL_RESTART) if contender == "probe" else "%.2f" % ratio))


def main():
    res = sys.argv[1]
    for line in open(os.path.join(res, "machine.txt")):
        print(line.rstrip())
    print("Figures from different machines do not compare: only ratios of contenders run in the\n"
          "same session on the same machine do.")
    size, arch = open(os.path.join(res, "size.txt")).read().split()
    size = int(size)
    line = "\nuninstall.exe, %s-bit: %d bytes = %.1f KiB" % (arch, size, size / 1024)
    if arch == "32":  # the size goal is the shipped product's
        line += " (goal <= %d KiB: %s)" % (GOAL_SIZE_KIB, "met" if size <= GOAL_SIZE_KIB * 1024 else "MISSED")
    print(line)
    startup(res)
    medians, windowless = removal(res)
    restart(res)
    plot(res, medians, windowless)


if __name__ == "__main__":
    main()
