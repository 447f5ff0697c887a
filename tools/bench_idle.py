#!/usr/bin/env python3
"""Idle cost of snipora.exe under Wine against a bare program with only a 10 ms timer.

Usage: bench_idle.py BUILD_DIR WORK_DIR [SECONDS]

Measures, in one run, the CPU time of each program plus the wineserver over SECONDS (30 by
default) at rest (collapsed, pointer away), and prints the ratio; then the private memory of each
program, Snipora holding 25 history items.
"""
import os
import shutil
import signal
import subprocess
import sys
import time

BUILD, WORK = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 30.0
TICK = os.sysconf("SC_CLK_TCK")


def cpu(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def private_kb(pid):
    total = 0
    for line in open(f"/proc/{pid}/smaps_rollup"):
        if line.startswith(("Private_Clean:", "Private_Dirty:")):
            total += int(line.split()[1])
    return total


def wineserver_pid():
    """The server of this prefix: other prefixes may have servers of their own running."""
    prefix = os.path.realpath(os.environ["WINEPREFIX"])
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            if os.path.basename(os.readlink(f"/proc/{pid}/exe")).startswith("wineserver"):
                # The server works in the prefix's folder of its own under /tmp; its open files
                # include the prefix's registry or its cwd is the prefix.
                cwd = os.path.realpath(os.readlink(f"/proc/{pid}/cwd"))
                env = open(f"/proc/{pid}/environ", "rb").read().split(b"\0")
                if cwd == prefix or f"WINEPREFIX={prefix}".encode() in env:
                    return int(pid)
        except OSError:
            pass
    raise SystemExit("no wineserver for " + prefix)


def probe(*args):
    subprocess.run(["wine", os.path.join(BUILD, "tools", "snipora-probe.exe")] +
                   [str(a) for a in args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   stdin=subprocess.DEVNULL, timeout=60)


def measure(command, settle):
    process = subprocess.Popen(["wine"] + command, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    settle()
    subprocess.run(["xdotool", "mousemove", "5", "1000"])
    time.sleep(2)
    server = wineserver_pid()
    start_app, start_server, start = cpu(process.pid), cpu(server), time.time()
    time.sleep(SECONDS)
    used = cpu(process.pid) - start_app + cpu(server) - start_server
    wall = time.time() - start
    memory = private_kb(process.pid)
    return process, used, wall, memory


def main():
    folder = os.path.join(WORK, "idle")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "Data"))
    exe = os.path.join(folder, "snipora.exe")
    shutil.copy(os.path.join(BUILD, "src", "app", "snipora.exe"), exe)

    bare, bare_cpu, bare_wall, bare_mem = measure(
        [os.path.join(BUILD, "tools", "idle-timer.exe")], lambda: time.sleep(3))
    bare.send_signal(signal.SIGKILL)
    bare.wait()

    def fill():
        probe("wait-window", 20000)
        probe("set-many", "history item ", 25, 60)
        time.sleep(5)  # the save that follows the last change

    app, app_cpu, app_wall, app_mem = measure([exe], fill)
    probe("close")
    app.wait(timeout=30)

    print(f"idle CPU over {SECONDS:.0f} s, program + wineserver:")
    print(f"  bare 10 ms timer  {bare_cpu:7.2f} s  ({100 * bare_cpu / bare_wall:5.1f}% of a core)")
    print(f"  snipora.exe       {app_cpu:7.2f} s  ({100 * app_cpu / app_wall:5.1f}% of a core)")
    print(f"  ratio             {app_cpu / bare_cpu:7.2f}")
    print("private memory:")
    print(f"  bare 10 ms timer  {bare_mem:7d} KiB")
    print(f"  snipora.exe       {app_mem:7d} KiB  (25 history items)")
    print(f"  ratio             {app_mem / bare_mem:7.2f}")


if __name__ == "__main__":
    main()
