#!/usr/bin/env python3
"""Time from a press of the paste-next key to the queued text in the target, against the time
from a double click on an entry to its text there, both into the edit control of the end-to-end
probe's paste target (WM_PASTE), under Wine.

Usage: bench_queue.py BUILD_DIR WORK_DIR [RUNS]

An entry of RUNS lines is queued with "Paste lines one by one"; each press of Ctrl+Shift+N (the
key's default) is sent straight to the X server through XTest, as is the double click's second
press, and timed to the moment the target logs the text; both read the same system clock. Prints
the median and the slowest of each, and the ratio of the medians.
"""
import ctypes
import os
import statistics
import sys
import time

BUILD, WORK = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
RUNS = int(sys.argv[3]) if len(sys.argv) > 3 else 20
sys.argv = [sys.argv[0], BUILD, WORK]
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_paste import Pointer, arrivals, choose  # noqa: E402
from e2e_items import *  # noqa: E402,F401,F403  (the end-to-end helpers)


class Keyboard(Pointer):
    """Keys of the X keyboard, pressed and released without a process in between."""

    def __init__(self):
        super().__init__()
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]

    def key(self, name, down):
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
        self.xtst.XTestFakeKeyEvent(self.display, code, 1 if down else 0, 0)
        self.x11.XFlush(self.display)


def main():
    os.makedirs(WORK, exist_ok=True)
    app = Snipora("bench-queue")
    target = PasteTarget(app.folder)
    app.start()
    keyboard = Keyboard()
    chosen, queued = [], []
    try:
        for i in range(RUNS):
            token = f" c{i}"
            copy(token)
            assert wait_for(lambda: bar_state()["label"] == token.strip(), 5), bar_state()
            before = len(arrivals(target, "message"))
            pressed = choose(keyboard, target.summon_over(PasteTarget.EDIT), 1)
            arrived = wait_for(lambda: arrivals(target, "message")[before:], 10, step=0.02)
            assert arrived, f"no paste of {token!r}"
            chosen.append(arrived[0] - pressed)
            assert wait_for(lambda: bar_state()["expanded"] == 0, 5)
        copy("\n".join(f" l{i}" for i in range(RUNS)))
        state = target.summon_over(PasteTarget.EDIT)
        # The first menu item under the pointer; Up goes round to the last, "Paste lines one by
        # one".
        right = row_point(state, 1)
        xdotool("mousemove", *right)
        time.sleep(0.1)
        xdotool("mousedown", 3)
        time.sleep(0.1)
        xdotool("mouseup", 3)
        time.sleep(0.5)
        keys("Up", "Return", over=(right[0] + 20, right[1] + 12))
        assert wait_for(lambda: bar_state()["label"].startswith("Next (1 of"), 3), bar_state()
        xdotool("mousemove", *PasteTarget.EDIT)
        time.sleep(0.3)
        for i in range(RUNS):
            before = len(arrivals(target, "message"))
            for name in ("Control_L", "Shift_L", "n"):
                keyboard.key(name, True)
            pressed = time.time()
            for name in ("n", "Shift_L", "Control_L"):
                keyboard.key(name, False)
            arrived = wait_for(lambda: arrivals(target, "message")[before:], 5, step=0.005)
            assert arrived, f"no paste of line {i}"
            queued.append(arrived[0] - pressed)
            time.sleep(0.1)
    finally:
        app.stop()
        target.close()
    one = statistics.median(chosen) * 1000
    each = statistics.median(queued) * 1000
    print(f"double click to its text:       median {one:.1f} ms, slowest "
          f"{max(chosen) * 1000:.1f} ms of {RUNS}")
    print(f"paste-next key to the next text: median {each:.1f} ms, slowest "
          f"{max(queued) * 1000:.1f} ms of {RUNS}")
    print(f"queued / chosen: {each / one:.2f}")


if __name__ == "__main__":
    main()
