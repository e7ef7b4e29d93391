#!/usr/bin/env python3
"""Kills a process that journals edit steps at a random moment and checks what Recover gets back.

Each round starts `kestra_journal_kill append` on a fresh file (random Applies and Delete Items,
the journal flushed every 20 steps), sends SIGKILL after a random delay, then runs
`kestra_journal_kill recover`: the recovered document must hold at least every flushed step and
equal, byte for byte, the document as it stood after the last step it holds.
Prints ROUNDS,LOST_FLUSHED_STEPS,WRONG_DOCUMENTS,FAILED_RECOVERIES,MEAN_STEPS,MEAN_UNFLUSHED_KEPT.

usage: bench/journal_kill_rounds.py [KESTRA_JOURNAL_KILL] [ROUNDS]
"""

import os
import random
import signal
import struct
import subprocess
import sys
import tempfile
import time

ITEMS = 20000


def write_file(path):
    # One integer property, items packed one after another.
    header = struct.pack(">IIII", ITEMS, 1, 28, 4) + struct.pack(">IHHHH", 1, 0, 0, 0, 3)
    with open(path, "wb") as out:
        out.write(header + bytes(range(256)) * (ITEMS * 4 // 256) + bytes(ITEMS * 4 % 256))


def one_round(tool, folder):
    target = os.path.join(folder, "t.table")
    write_file(target)
    env = dict(os.environ, XDG_STATE_HOME=os.path.join(folder, "state"))
    child = subprocess.Popen([tool, "append", target], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    time.sleep(random.uniform(0.05, 0.6))
    child.send_signal(signal.SIGKILL)
    out, _ = child.communicate()
    checksums, flushed = {0: None}, 0
    for line in out.decode().splitlines():
        words = line.split()
        if words[0] == "step" and len(words) == 3:
            checksums[int(words[1])] = words[2]
        elif words[0] == "flushed":
            flushed = int(words[1])
    result = subprocess.run([tool, "recover", target], env=env, capture_output=True, text=True)
    words = result.stdout.split()
    if result.returncode != 0 or len(words) != 3 or words[0] != "recovered":
        return None
    steps = int(words[1])
    # Every step is reported before it is journalled, so the recovered one must have been.
    correct = steps in checksums and checksums[steps] in (None, words[2])
    return steps, flushed, correct


def main():
    tool = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           "build/release/bench/kestra_journal_kill")
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    lost = wrong = failed = 0
    total_steps = unflushed_kept = 0
    for _ in range(rounds):
        with tempfile.TemporaryDirectory(dir=".") as folder:
            outcome = one_round(tool, folder)
        if outcome is None:
            failed += 1
            continue
        steps, flushed, correct = outcome
        lost += steps < flushed
        wrong += not correct
        total_steps += steps
        unflushed_kept += steps - flushed
    done = max(rounds - failed, 1)
    print(f"{rounds},{lost},{wrong},{failed},{total_steps / done:.0f},{unflushed_kept / done:.1f}")
    return 1 if lost or wrong or failed else 0


if __name__ == "__main__":
    sys.exit(main())
