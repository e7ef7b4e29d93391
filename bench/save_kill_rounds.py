#!/usr/bin/env python3
"""Kills kestra-tool part-way through saves and counts the rounds that leave a file behind.

Each round runs `kestra-tool set` over a file large enough that its save takes a noticeable
time, sends one signal after a random delay within that time, and then looks in the folder: any
file but the target is a leftover, and the target must still be a whole file, old or new.
Prints one line per signal: SIGNAL,ROUNDS,LEFTOVERS,BROKEN_TARGETS.

usage: bench/save_kill_rounds.py [KESTRA_TOOL] [ROUNDS]
"""

import os
import random
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import time

ITEMS = 16 << 20  # 64 MiB of integers: a save takes a good part of a second
SIGNALS = ["SIGKILL", "SIGTERM", "SIGINT", "SIGHUP", "SIGQUIT", "SIGUSR1", "SIGALRM"]


def write_file(path):
    # One integer property, items packed one after another.
    header = struct.pack(">IIII", ITEMS, 1, 28, 4) + struct.pack(">IHHHH", 1, 0, 0, 0, 3)
    with open(path, "wb") as out:
        out.write(header)
        out.truncate(28 + ITEMS * 4)


def no_core_dumps():
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    for number in range(1, signal.NSIG):
        try:
            signal.signal(number, signal.SIG_DFL)
        except (OSError, ValueError):
            pass


def run_set(tool, folder, value):
    return subprocess.Popen([tool, "set", "t.table", "0", "0", str(value)], cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            preexec_fn=no_core_dumps)


def main():
    tool = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/default/cli/kestra-tool")
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    with tempfile.TemporaryDirectory(dir=".") as folder:
        target = os.path.join(folder, "t.table")
        write_file(target)
        start = time.perf_counter()
        run_set(tool, folder, 1).wait()
        duration = time.perf_counter() - start
        size = os.path.getsize(target)  # padded by the first save
        print(f"# one set of a {size}-byte file takes {duration:.3f} s")
        for name in SIGNALS:
            leftovers = broken = 0
            for round_number in range(rounds):
                process = run_set(tool, folder, round_number + 2)
                time.sleep(random.uniform(0, duration))
                process.send_signal(getattr(signal, name))
                process.wait()
                others = [f for f in os.listdir(folder) if f != "t.table"]
                leftovers += bool(others)
                for other in others:
                    os.remove(os.path.join(folder, other))
                broken += os.path.getsize(target) != size
            print(f"{name},{rounds},{leftovers},{broken}")


if __name__ == "__main__":
    main()
