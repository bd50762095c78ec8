#!/usr/bin/env python3
"""Runs a command and prints the CPU seconds it cost, wineserver included.

    timed.py OUTPUT SERVER_PID COMMAND...

COMMAND's output goes to the file OUTPUT (never a pipe: Wine's background
processes would inherit it). Wine starts every new process through a double
fork, so the programs a driver starts are not its children: this script makes
itself their reaper (PR_SET_CHILD_SUBREAPER) and collects the CPU time of every
process that ends under it. Prints "cpu_client=S cpu_server=S wall=S": user +
system seconds of the ended processes, of the persistent wineserver SERVER_PID
(which does much of the file work for its clients), and the wall clock.
"""
import ctypes
import os
import subprocess
import sys
import time

PR_SET_CHILD_SUBREAPER = 36
SETTLE_S = 0.05  # a process that ended just before the driver may be reaped a moment later


def server_cpu(pid):
    try:
        fields = open("/proc/%s/stat" % pid).read().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu(usage):
    return usage.ru_utime + usage.ru_stime


def main():
    output, server, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
    server_before = server_cpu(server)
    start = time.monotonic()
    with open(output, "wb") as out:
        child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = os.waitstatus_to_exitcode(status)
    wall = time.monotonic() - start
    client = cpu(usage)
    quiet_since = time.monotonic()
    while time.monotonic() - quiet_since < SETTLE_S:
        try:
            pid, _, usage = os.wait4(-1, os.WNOHANG)
        except ChildProcessError:
            break
        if pid:
            client += cpu(usage)
            quiet_since = time.monotonic()
        else:
            time.sleep(0.005)
    print("cpu_client=%.3f cpu_server=%.3f wall=%.3f" % (client, server_cpu(server) - server_before, wall))


if __name__ == "__main__":
    main()
