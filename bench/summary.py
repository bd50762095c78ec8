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
import sys

GOAL_SIZE_KIB = 120
GOAL_FLOOR = 1.25
GOAL_NSIS = 0.5
GOAL_RESTART = 3.0


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
    print("\nStart-up (%s rounds)" % r[-1]["run"])
    print("%-50s %8s %8s %8s %8s" % ("", "median", "min", "max", "cpu"))
    of = lambda program: [x for x in r if x["program"] == program]
    for program, key, label in (
            ("empty_gui", "start_s", "empty GUI program, start to end"),
            ("empty_window", "start_s", "program with one window, start to window"),
            ("ours", "start_s", "uninstall.exe -C, empty log: to the wizard"),
            ("ours", "finish_s", "  to Finish enabled"),
            ("ours", "exit_s", "  whole process, Finish pressed")):
        cpu = "%8.3f" % statistics.median(numbers(of(program), "cpu")) if key != "finish_s" else ""
        print("%-50s %s %s" % (label, triple(numbers(of(program), key)), cpu))
    bad = [x["check"] for x in of("ours") if x["check"] != "ok"]
    if bad:
        print("  ours: check failed in %d runs: %s" % (len(bad), ", ".join(bad)))


def removal(res):
    tables = sized("files-*.tsv", res)
    if not tables:
        return
    print("\nRemoving N files (ours: to Finish enabled, and the whole process after Finish)")
    print("%-6s %-16s %8s %8s %8s %8s %9s  %s" % ("N", "contender", "median", "min", "max", "cpu",
                                                 "us/file", "checked"))
    for n, path in tables:
        r = rows(path)
        med, low, cpu = {}, {}, {}
        for contender, key, label in (("floor", "seconds", "floor"), ("nsis", "seconds", "NSIS"),
                                      ("ours", "seconds", "ours"), ("ours", "exit_s", "ours, whole")):
            mine = [x for x in r if x["contender"] == contender]
            if not mine:
                continue
            med[label] = statistics.median(numbers(mine, key))
            low[label] = min(numbers(mine, key))
            cpu[label] = statistics.median(numbers(mine, "cpu"))
            failed = [x["check"] for x in mine if x["check"] != "ok"]
            print("%-6d %-16s %s %8.2f %9.1f  %d/%d ok%s" % (
                n, label, triple(numbers(mine, key)), cpu[label], med[label] / n * 1e6,
                len(mine) - len(failed), len(mine), " (%s)" % ", ".join(failed) if failed else ""))
        if "floor" in med and "ours" in med:
            line = "       ours/floor %s" % goal(med["ours"] / med["floor"], GOAL_FLOOR)
            if "NSIS" in med:
                line += ", ours/NSIS %s" % goal(med["ours"] / med["NSIS"], GOAL_NSIS)
            print(line)
            line = "       whole process: ours/floor %.2f" % (med["ours, whole"] / med["floor"])
            if "NSIS" in med:
                line += ", ours/NSIS %.2f; NSIS/floor %.2f" % (
                    med["ours, whole"] / med["NSIS"], med["NSIS"] / med["floor"])
            print(line)
            line = "       fastest runs: ours/floor %.2f" % (low["ours"] / low["floor"])
            if "NSIS" in low:
                line += ", ours/NSIS %.2f" % (low["ours"] / low["NSIS"])
            line += "; cpu: ours/floor %.2f" % (cpu["ours"] / cpu["floor"])
            if "NSIS" in cpu:
                line += ", ours/NSIS %.2f" % (cpu["ours"] / cpu["NSIS"])
            print(line)


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
    size, arch = open(os.path.join(res, "size.txt")).read().split()
    size = int(size)
    line = "\nuninstall.exe, %s-bit: %d bytes = %.1f KiB" % (arch, size, size / 1024)
    if arch == "32":  # the size goal is the shipped product's
        line += " (goal <= %d KiB: %s)" % (GOAL_SIZE_KIB, "met" if size <= GOAL_SIZE_KIB * 1024 else "MISSED")
    print(line)
    startup(res)
    removal(res)
    restart(res)


if __name__ == "__main__":
    main()
