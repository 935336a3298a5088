"""Whole processes timed side by side.

    time_commands.py RUNS [--fresh FOLDER] LABEL COMMAND [LABEL COMMAND]...

Each command runs RUNS times in turn, after one warm-up round; each run
starts with the disk idle (a sync first, so none pays for the previous one's
writing) and, with --fresh, with FOLDER emptied. Prints the median wall and
CPU time and the peak memory of each, then each median against the first's.
"""
import os, shlex, shutil, statistics, subprocess, sys, time

args = sys.argv[1:]
runs = int(args.pop(0))
fresh = None
if args and args[0] == "--fresh":
    fresh = args[1]
    args = args[2:]
labels, commands = args[0::2], args[1::2]
walls = {c: [] for c in commands}
cpus = {c: [] for c in commands}
peaks = {c: 0 for c in commands}
for round in range(runs + 1):
    for c in commands:
        if fresh:
            shutil.rmtree(fresh, ignore_errors=True)
            os.mkdir(fresh)
        os.sync()
        start = time.perf_counter()
        pid = subprocess.Popen(shlex.split(c), stdout=subprocess.DEVNULL).pid
        _, status, usage = os.wait4(pid, 0)
        if status != 0:
            sys.exit(f"{c} failed")
        if round > 0:
            walls[c].append(time.perf_counter() - start)
            cpus[c].append(usage.ru_utime + usage.ru_stime)
            peaks[c] = max(peaks[c], usage.ru_maxrss)
width = max(len(label) for label in labels)
medians = {c: statistics.median(walls[c]) for c in commands}
for label, c in zip(labels, commands):
    print(f"{label:<{width}}  median {medians[c] * 1000:8.1f} ms  cpu {statistics.median(cpus[c]) * 1000:8.1f} ms"
          f"  peak {peaks[c] / 1024:7.1f} MiB")
for label, c in zip(labels[1:], commands[1:]):
    print(f"{label} / {labels[0]}: {medians[c] / medians[commands[0]]:.1f}x")
