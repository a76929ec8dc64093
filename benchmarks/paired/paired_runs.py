#!/usr/bin/env python3
"""Paired, interleaved timing of several commands on a shared machine.

Each round runs every command once, in an order rotated from round to round,
so that a change of load between rounds touches all of them alike. Prints for
each command the median wall time and the median processor time (user and
system, all its threads and children, from wait4) over the rounds, and each
median's ratio to the first command's, with the CPU model and the load
average before and after.

    benchmarks/paired/paired_runs.py [--rounds N] [--busy] 'command 1' 'command 2' ...

--busy keeps the second core busy meanwhile with a CPU-bound loop pinned to
it (taskset -c 1); the commands themselves are not pinned. The loop runs in a
session of its own: where the system shares the processor between sessions
(Linux's autogroup), a loop in the commands' session would take its time
from theirs instead of from the core.
"""
import argparse, os, shlex, statistics, subprocess, time


def cpu_model():
    for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
        if line.startswith("Model name:"):
            return line.split(":", 1)[1].strip()
    return "unknown"


def load():
    return " ".join(open("/proc/loadavg").read().split()[:3])


def run(command):
    start = time.monotonic()
    process = subprocess.Popen(command, shell=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit(f"failed: {command}")
    return wall * 1000, (usage.ru_utime + usage.ru_stime) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--busy", action="store_true")
    parser.add_argument("commands", nargs="+")
    args = parser.parse_args()
    print(f"CPU: {cpu_model()}, {os.cpu_count()} cores; load before: {load()}")
    hog = None
    if args.busy:
        hog = subprocess.Popen(["taskset", "-c", "1", "sh", "-c", "while :; do :; done"], start_new_session=True)
        print("second core kept busy by a loop pinned to core 1")
    walls = [[] for _ in args.commands]
    cpus = [[] for _ in args.commands]
    try:
        for command in args.commands:  # once each, unmeasured: caches and page cache warm
            run(command)
        for round in range(args.rounds):
            for i in range(len(args.commands)):
                j = (i + round) % len(args.commands)
                wall, cpu = run(args.commands[j])
                walls[j].append(wall)
                cpus[j].append(cpu)
    finally:
        if hog:
            hog.kill()
    print(f"load after: {load()}")
    base_wall = statistics.median(walls[0])
    base_cpu = statistics.median(cpus[0]) or 1
    for command, w, c in zip(args.commands, walls, cpus):
        mw, mc = statistics.median(w), statistics.median(c)
        print(f"{mw:9.1f} ms wall ({mw / base_wall:5.2f})  {mc:8.1f} ms cpu ({mc / base_cpu:5.2f})  n={len(w)}  {command}")


main()
