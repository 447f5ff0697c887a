#!/usr/bin/env python3
"""Time from choosing an entry to its text being in the target: WM_PASTE into an edit control
against the keystroke into a control that pastes only on Ctrl+V, both in the end-to-end probe's
paste target, alternating, under Wine.

Usage: bench_paste.py BUILD_DIR WORK_DIR [RUNS]

Each run is timed from the double click's second press (the double click is told on it), sent
straight to the X server through XTest (an xdotool process would add its own start-up), to the
moment the target logs the text; both read the same system clock. Prints the median of each path
over RUNS (20 by default) and their ratio.
"""
import ctypes
import os
import statistics
import sys
import time

BUILD, WORK = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
RUNS = int(sys.argv[3]) if len(sys.argv) > 3 else 20
sys.argv = [sys.argv[0], BUILD, WORK]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from e2e_items import *  # noqa: E402,F401,F403  (the end-to-end helpers)


class Pointer:
    """The button of the X pointer, pressed and released without a process in between."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(os.environ["DISPLAY"].encode())
        assert self.display, "cannot open the display"

    def button(self, down):
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1 if down else 0, 0)
        self.x11.XFlush(self.display)


def choose(pointer, state, row):
    """The double click of the end-to-end tests; returns the time of its second press."""
    pressed = []

    def last_press(down):
        pointer.button(down)
        if down:
            pressed.append(time.time())

    double_click(*row_point(state, row), last_press=last_press)
    return pressed[0]


def arrivals(target, how):
    """The times of the target's pastes of one kind. The caret may stand anywhere in the edit
    control, so a paste is told by its line, not by where its text went."""
    if not os.path.exists(target.log):
        return []
    lines = (line.split(" ", 2) for line in open(target.log, encoding="utf-8").read().splitlines())
    return [float(fields[0]) for fields in lines if len(fields) >= 2 and fields[1] == how]


def main():
    os.makedirs(WORK, exist_ok=True)
    app = Snipora("bench-paste")
    target = PasteTarget(app.folder)
    app.start()
    pointer = Pointer()
    times = {"message": [], "ctrl+v": []}
    points = {"message": PasteTarget.EDIT, "ctrl+v": PasteTarget.KEYSTROKE_ONLY}
    try:
        for i in range(RUNS):
            for how in times:
                token = f" {how[0]}{i}"
                copy(token)
                assert wait_for(lambda: bar_state()["label"] == token.strip(), 5), bar_state()
                before = len(arrivals(target, how))
                chosen = choose(pointer, target.summon_over(points[how]), 1)
                arrived = wait_for(lambda: arrivals(target, how)[before:], 10, step=0.02)
                assert arrived, f"{how}: no paste of {token!r}"
                times[how].append(arrived[0] - chosen)
                assert wait_for(lambda: bar_state()["expanded"] == 0, 5)
    finally:
        app.stop()
        target.close()
    message = statistics.median(times["message"]) * 1000
    keystroke = statistics.median(times["ctrl+v"]) * 1000
    print(f"message path (WM_PASTE into an edit control): median {message:.1f} ms of {RUNS}")
    print(f"keystroke path (Ctrl+V by SendInput):         median {keystroke:.1f} ms of {RUNS}")
    print(f"keystroke / message: {keystroke / message:.2f}")


if __name__ == "__main__":
    main()
