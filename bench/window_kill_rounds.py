#!/usr/bin/env python3
"""Kills the real window at a random moment during a burst of edits and checks what Recover gets.

Runs `kestra FILE` under its own Xvfb display and drives it with xdotool as a user would: each
round sends a first burst of Applies and Delete Items, stays idle for two seconds (the window
flushes its journal within one), sends a second burst and SIGKILLs the window somewhere in it.
Then it starts `kestra FILE` again, answers Recover, saves with Ctrl+S and compares the saved file,
byte for byte, with the document after each prefix of the steps sent: it must equal one of them,
and hold at least every step of the first burst. HOME and XDG_STATE_HOME point into a temporary
folder. Prints ROUNDS,LOST_FLUSHED_STEPS,WRONG_DOCUMENTS,CRASHES,MEAN_STEPS,MEAN_UNFLUSHED_KEPT.

The screen positions below are those of the window's layout at 1280x720, where it opens on a
1280x800 screen without a window manager.

usage: bench/window_kill_rounds.py [KESTRA] [ROUNDS] [DISPLAY_NUMBER]
"""

import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

ITEMS = 16
FEWEST_ITEMS = 4
FIRST_ROW_Y, ROW_HEIGHT, ITEM_X = 44, 14, 50
PROPERTY_ROW = (470, 44)
VALUE_EDIT = (1060, 381)
APPLY_BUTTON = (960, 411)
DELETE_BUTTON = (170, 664)
IDLE_POINT = (1000, 600)
FLUSH_IDLE_SECONDS = 2.0


def file_bytes(values):
    # What the editor writes for one integer property: header, descriptor, the items one after
    # another, and "@" up to a multiple of 32.
    data = struct.pack(">IIII", len(values), 1, 28, 4) + struct.pack(">IHHHH", 1, 0, 0, 0, 3)
    data += b"".join(struct.pack(">I", value) for value in values)
    return data + b"@" * (-len(data) % 32)


def document_of(saved):
    if not saved or len(saved) < 28:
        return saved
    count, _, offset, _ = struct.unpack(">IIII", saved[:16])
    return [struct.unpack(">I", saved[offset + 4 * i:offset + 4 * i + 4])[0] for i in range(count)]


def xdotool(display, *words):
    subprocess.run(["xdotool", *map(str, words)], env=display, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def row_y(row):
    return FIRST_ROW_Y + ROW_HEIGHT * row


def send_step(display, step):
    if step[0] == "apply":
        _, row, value = step
        xdotool(display, "mousemove", ITEM_X, row_y(row), "click", "--repeat", 2, "--delay", 40, 1,
                "mousemove", *PROPERTY_ROW, "click", "--repeat", 2, "--delay", 40, 1,
                "mousemove", *VALUE_EDIT, "click", 1, "key", "End", "shift+Home", "type", value)
        # "type" takes every word after it as text, so the click goes in a command of its own.
        xdotool(display, "mousemove", *APPLY_BUTTON, "click", 1)
    else:
        xdotool(display, "mousemove", ITEM_X, row_y(step[1]), "click", 1,
                "mousemove", *DELETE_BUTTON, "click", 1)


def random_step(values):
    row = random.randrange(len(values))
    if len(values) > FEWEST_ITEMS and random.random() < 0.25:
        return ("delete", row)
    return ("apply", row, random.randint(1, 99999))


def do_step(values, step):
    if step[0] == "apply":
        values[step[1]] = step[2]
    else:
        del values[step[1]]


def window_ids(display, name):
    found = subprocess.run(["xdotool", "search", "--name", name], env=display,
                           capture_output=True, text=True)
    return found.stdout.split()


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    return None


def question_box(display):
    # The question is a small window titled "Kestra"; the main window is the full-size one, and
    # the search, which ignores case, also finds the program's 1x1 window "kestra".
    for window in window_ids(display, "^Kestra$"):
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                  env=display, capture_output=True, text=True).stdout
        fields = dict(line.split("=", 1) for line in geometry.split())
        if fields and 100 < int(fields["WIDTH"]) < 1000:
            return (int(fields["X"]) + int(fields["WIDTH"]) // 2,
                    int(fields["Y"]) + int(fields["HEIGHT"]) // 3)
    return None


# Keys go to the window under the pointer; a box that was still being placed missed them, so
# both answers are given again until they have taken effect.
def answer_recover(env):
    for _ in range(20):
        box = question_box(env)
        if not box:
            return wait_for(lambda: window_ids(env, "w.table"), 10)
        xdotool(env, "mousemove", *box, "key", "Return")
        time.sleep(0.5)
    return False


def save(env, recovery):
    for _ in range(5):
        xdotool(env, "mousemove", *IDLE_POINT, "click", 1, "key", "ctrl+s")
        if wait_for(lambda: not os.listdir(recovery), 2):
            return True
    return False


def start_window(kestra, target, env, errors):
    return subprocess.Popen([kestra, target], env=env, stdout=subprocess.DEVNULL, stderr=errors)


def lost_display(errors):
    # Without its display the window aborts, which is no crash of its own.
    errors.seek(0)
    return "could not connect to display" in errors.read()


# One round: (steps sent, steps flushed, the prefix the saved file equals or None, whether a
# window crashed), or None when a window could not reach the display.
def one_round(kestra, folder, env):
    target = os.path.join(folder, "w.table")
    recovery = os.path.join(env["XDG_STATE_HOME"], "kestra", "recovery")
    values = [random.randint(0, 99999) for _ in range(ITEMS)]
    with open(target, "wb") as out:
        out.write(file_bytes(values))
    windows = []
    try:
        with tempfile.TemporaryFile("w+") as errors:
            return play_round(kestra, target, recovery, values, env, errors, windows)
    finally:
        for window in windows:
            window.kill()
            window.wait()
        shutil.rmtree(recovery, ignore_errors=True)


def play_round(kestra, target, recovery, values, env, errors, windows):
    documents = [list(values)]
    window = start_window(kestra, target, env, errors)
    windows.append(window)
    if not wait_for(lambda: window_ids(env, "w.table"), 10):
        return None
    for _ in range(random.randint(2, 6)):
        step = random_step(values)
        send_step(env, step)
        do_step(values, step)
        documents.append(list(values))
    flushed = len(documents) - 1
    time.sleep(FLUSH_IDLE_SECONDS)

    killer = threading.Timer(random.uniform(0.0, 3.0), window.send_signal, [signal.SIGKILL])
    killer.start()
    while window.poll() is None and len(documents) < flushed + 20:
        step = random_step(values)
        send_step(env, step)
        do_step(values, step)
        documents.append(list(values))
    killer.join()
    if window.wait() > 0 or lost_display(errors):
        return None
    crashed = window.returncode != -signal.SIGKILL

    window = start_window(kestra, target, env, errors)
    windows.append(window)
    saved = None
    if wait_for(lambda: question_box(env), 10) and answer_recover(env) and save(env, recovery):
        with open(target, "rb") as saved_file:
            saved = saved_file.read()
    if lost_display(errors):
        return None
    crashed = crashed or window.poll() is not None

    prefixes = [k for k, document in enumerate(documents) if file_bytes(document) == saved]
    kept = max(prefixes) if prefixes else None
    if kept is None:
        print(f"saved {document_of(saved)}, sent {documents}", file=sys.stderr)
    return len(documents) - 1, flushed, kept, crashed


class Display:
    """An Xvfb server of our own, started again when a window cannot reach it."""

    def __init__(self, number):
        self.number = number
        self.server = None
        self.restarts = 0

    def ensure(self):
        if self.server and self.server.poll() is None:
            return
        self.server = subprocess.Popen(["Xvfb", ":" + self.number, "-screen", "0", "1280x800x24"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)
        if self.server.poll() is not None:
            sys.exit(f"window_kill_rounds: Xvfb could not start on :{self.number}")

    def restart(self):
        self.stop()
        self.restarts += 1
        if self.restarts >= 10:
            sys.exit(f"window_kill_rounds: the windows cannot reach Xvfb on :{self.number}")
        self.ensure()

    def stop(self):
        self.server.terminate()  # our own server, by its process
        self.server.wait()


def main():
    kestra = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release/app/kestra")
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    display = Display(sys.argv[3] if len(sys.argv) > 3 else str(100 + os.getpid() % 800))
    lost = wrong = crashes = steps = unflushed_kept = done = 0
    try:
        with tempfile.TemporaryDirectory() as folder:
            env = dict(os.environ, DISPLAY=":" + display.number,
                       HOME=os.path.join(folder, "home"),
                       XDG_STATE_HOME=os.path.join(folder, "state"),
                       XDG_RUNTIME_DIR=os.path.join(folder, "runtime"))
            env.pop("QT_QPA_PLATFORM", None)
            os.makedirs(env["HOME"])
            os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
            # The names beside the file, so that the window does not stop to ask for them.
            with open(os.path.join(folder, "InfoFileDocumentation.dat"), "w") as names:
                names.write('Names for the kill rounds\n(1) "Count"\n')
            while done < rounds:
                display.ensure()
                result = one_round(kestra, folder, env)
                if result is None or display.server.poll() is not None:
                    display.restart()  # the window went with the display: the round tells nothing
                    continue
                done += 1
                sent, flushed, kept, crashed = result
                steps += sent
                crashes += crashed
                if kept is None:
                    wrong += 1
                else:
                    lost += max(0, flushed - kept)
                    unflushed_kept += max(0, kept - flushed)
                print(f"round {done}: sent {sent}, flushed {flushed}, kept {kept}, "
                      f"crashed {crashed}", file=sys.stderr)
    finally:
        display.stop()
    if display.restarts:
        print(f"window_kill_rounds: Xvfb was started again {display.restarts} times; those rounds "
              "were run again", file=sys.stderr)
    print(f"{rounds},{lost},{wrong},{crashes},{steps / rounds:.1f},{unflushed_kept / rounds:.1f}")
    sys.exit(1 if lost or wrong or crashes else 0)


if __name__ == "__main__":
    main()
