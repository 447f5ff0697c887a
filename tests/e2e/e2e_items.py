"""End-to-end: choosing entries in the popup, and pasting into the window it was summoned over."""
from e2e import *  # noqa: F401,F403  (the shared helpers)


def press(down):
    xdotool("mousedown" if down else "mouseup", 1)


def double_click(x, y, last_press=press):
    """Under Wine without a window manager the click that activates a window does not start a
    double click: a first click activates the popup, then comes the double click. `last_press`
    presses and releases the button for the double click's second click (a benchmark times it)."""
    xdotool("mousemove", x, y)
    time.sleep(0.1)
    press(True)
    time.sleep(0.05)
    press(False)
    time.sleep(0.8)
    for down in (press, last_press):
        down(True)
        time.sleep(0.04)
        down(False)
        time.sleep(0.04)


def right_click(x, y):
    xdotool("mousemove", x, y)
    time.sleep(0.1)
    xdotool("mousedown", 3)
    time.sleep(0.15)
    xdotool("mouseup", 3)


def open_with_button():
    """Presses the bar's own button: the popup opens in place."""
    state = bar_state()
    xdotool("mousemove", state["left"] + state["width"] - 11, state["top"] + 14)
    time.sleep(0.1)
    xdotool("mousedown", 1)
    time.sleep(0.1)
    xdotool("mouseup", 1)
    state = wait_for(lambda: (bar_state()["expanded"] == 1) and bar_state(), 3)
    assert state, bar_state()
    return state


def row_point(state, row):
    """The middle of a row of the tree, counted from 0 at the top, in screen pixels."""
    return (state["treeleft"] + 80,
            state["treetop"] + state["itemheight"] * row + state["itemheight"] // 2)


def accessible_names():
    """The names of the bar's button and search field, as accessibility clients read them.
    Seen under Wine: its 64-bit accessibility library gives no names for them ("unhandled window
    class"), its 32-bit one does for either build of Snipora, so the 32-bit probe asks when it
    has been built."""
    probe32 = os.path.join(os.path.dirname(BUILD), "i686", "tools", "snipora-probe.exe")
    program = probe32 if os.path.exists(probe32) else PROBE
    return wine([program, "names"])[1].splitlines()


def notepad_text():
    code, text = probe("edit-text", "Notepad")
    assert code == 0, "no notepad edit control"
    return text.rstrip("\r\n")


def clear_notepad():
    click_into_notepad(300, 300)
    xdotool("key", "ctrl+a")
    xdotool("key", "Delete")
    time.sleep(0.2)


class PasteTarget:
    """The probe's window: an edit control on the left, and on the right a control that, like a
    browser, ignores WM_PASTE and pastes only on Ctrl+V or Shift+Insert. Reactivated, the window
    takes the focus itself, as a plain window does: the control's focus has to be given back.
    Its log holds one line per change: "TIME HOW TEXT"."""

    def __init__(self, folder):
        while self.find() is not None:  # left by an earlier run
            self.close()
        self.log = os.path.join(folder, "paste.log")
        if os.path.exists(self.log):
            os.remove(self.log)
        self.process = subprocess.Popen(
            ["wine", PROBE, "paste-target", "Z:" + self.log.replace("/", "\\")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        Snipora.running.append(self.process)
        self.window = wait_for(lambda: self.find(), 20)
        assert self.window, "the paste target did not appear"
        xdotool("windowmove", self.window, 0, 560)
        time.sleep(0.5)

    @staticmethod
    def find():
        out = subprocess.run(["xdotool", "search", "--name", "^Paste target$"],
                             capture_output=True, text=True).stdout.split()
        return out[0] if out else None

    def entries(self):
        if not os.path.exists(self.log):
            return []
        lines = open(self.log, encoding="utf-8").read().splitlines()
        return [tuple(line.split(" ", 2)[1:]) for line in lines]

    # Points inside the controls, and on the window's background between them, in screen
    # pixels.
    EDIT = (200, 560 + 200)
    KEYSTROKE_ONLY = (650, 560 + 200)
    IN_PLACE = (200, 560 + 48)
    BACKGROUND = (440, 560 + 200)

    def summon_over(self, point=KEYSTROKE_ONLY):
        """Focuses a control (the keystroke-only one by default), then Ctrl+clicks on it."""
        x, y = point
        click_into_notepad(x, y)
        ctrl_click(x, y)
        state = wait_for(lambda: (bar_state()["expanded"] == 1) and bar_state(), 3)
        assert state, bar_state()
        return state

    def close(self):
        probe("close-window", "Paste target")
        assert wait_for(lambda: self.find() is None, 10), "the paste target is still shown"


def set_paste_line(app, value):
    """The [Paste] line for the probe's program, written while the program runs."""
    text = open(app.ini, encoding="utf-8").read().split("[Paste]")[0]
    with open(app.ini, "w", newline="\r\n") as f:
        f.write(text.rstrip("\n") + f"\n[Paste]\nsnipora-probe.exe={value}\n")


def test_double_click_pastes_into_the_window_summoned_over():
    ensure_notepad()
    app = Snipora("paste")
    assert probe("clear")[0] == 0  # what a run before left on the clipboard is not recorded
    with app:
        copy("older text")
        copy("pasted by a double click")
        assert wait_for(lambda: bar_state()["label"] == "pasted by a double click", 5)
        copy("newest text")
        assert wait_for(lambda: bar_state()["label"] == "newest text", 5)
        clear_notepad()
        home = bar_state()
        ctrl_click(200, 150)
        state = wait_for(lambda: (bar_state()["expanded"] == 1) and bar_state(), 3)
        assert state, bar_state()
        # Row 0 is "Clipboard history", row 1 the newest entry, row 2 the one before it.
        double_click(*row_point(state, 2))
        assert wait_for(lambda: "pasted by a double click" in notepad_text(), 5), notepad_text()
        state = wait_for(lambda: (bar_state()["expanded"] == 0) and bar_state(), 3)
        assert state, bar_state()
        assert (state["left"], state["top"]) == (home["left"], home["top"]), state
        assert state["label"] == "pasted by a double click", state
        assert probe("get")[1].strip() == "pasted by a double click"

        # From the keyboard. History now, newest first: "pasted by a double click", "newest
        # text", "older text". The hot key selects the newest; Down and Enter take the next.
        def summon():
            clear_notepad()
            xdotool("mousemove", 200, 150)
            time.sleep(0.1)
            hot_key()
            state = wait_for(lambda: bar_state()["expanded"] == 1 and bar_state(), 3)
            assert state, bar_state()
            # The keys are typed over notepad, which keeps the focus: the popup takes them.
            assert state["active"] == 0 and foreground() == "Notepad", state
            return (200, 150)

        def pasted(text):
            assert wait_for(lambda: notepad_text() == text, 5), notepad_text()
            assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
            assert wait_for(lambda: bar_state()["label"] == text, 3), bar_state()

        keys("Down", "Return", over=summon())
        pasted("newest text")
        # A digit takes that history entry at once: the third is "older text".
        keys("3", over=summon())
        pasted("older text")
        # Letters filter both lists, whole texts and any case; Enter takes the first match.
        keys("shift+d", "o", "u", over=summon())
        state = wait_for(lambda: bar_state()["entries"] == 3 and bar_state(), 3)
        assert state and state["filtering"] == 1, bar_state()
        # Screen readers name the bar's button and the search field, not by what it holds.
        assert accessible_names() == ["Open clipboard", "Filter"], accessible_names()
        keys("Return")
        pasted("pasted by a double click")
        # Esc clears the filter, then closes: nothing pasted, notepad in front.
        keys("z", "z", over=summon())
        assert wait_for(lambda: bar_state()["entries"] == 2, 3), bar_state()
        keys("Escape")
        state = wait_for(lambda: bar_state()["entries"] == 5 and bar_state(), 3)
        assert state and state["expanded"] == 1 and state["filtering"] == 0, bar_state()
        keys("Escape")
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
        assert wait_for(lambda: foreground() == "Notepad", 3), foreground()
        time.sleep(0.5)
        assert notepad_text() == "", notepad_text()

        app.close()
        assert app.history()[-1] == "pasted by a double click", app.history()
        assert app.history().count("pasted by a double click") == 1, app.history()

        # A control that pastes only on the keystroke gets Ctrl+V.
        target = PasteTarget(app.folder)
        app.start()
        copy("typed by the keystroke")
        assert wait_for(lambda: bar_state()["label"] == "typed by the keystroke", 5)
        double_click(*row_point(target.summon_over(), 1))
        assert wait_for(lambda: ("ctrl+v", "typed by the keystroke") in target.entries(), 5), \
            target.entries()
        # An edit control gets the paste message, not the keystroke.
        copy("pasted by the message")
        assert wait_for(lambda: bar_state()["label"] == "pasted by the message", 5)
        double_click(*row_point(target.summon_over(PasteTarget.EDIT), 1))
        assert wait_for(lambda: target.entries()[-1:] == [("message", "pasted by the message")],
                        5), target.entries()
        # The hot key is Snipora's alone: the control in front never sees it.
        click_into_notepad(*PasteTarget.KEYSTROKE_ONLY)
        hot_key()
        state = wait_for(lambda: bar_state()["expanded"] == 1 and bar_state(), 3)
        assert state, bar_state()
        keys("Escape", over=(state["left"] + 50, state["top"] + 10))
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
        assert all(how != "ctrl+alt+v" for how, _ in target.entries()), target.entries()

        # The popup never takes the focus. An in-place editor that ends itself when it loses the
        # focus stays open through the hot key and Enter, and the paste replaces its selection.
        def since(mark):
            entries = target.entries()[mark:]
            assert not [e for e in entries if e[0] in ("killfocus", "inactive")], entries
            return entries

        mark = len(target.entries())
        click_into_notepad(*PasteTarget.BACKGROUND)  # the target in front
        assert probe("inplace-reset")[0] == 0
        xdotool("mousemove", *PasteTarget.IN_PLACE)
        time.sleep(0.1)
        hot_key()
        assert wait_for(lambda: bar_state()["expanded"] == 1, 3), bar_state()
        keys("Return", over=PasteTarget.IN_PLACE)
        assert wait_for(lambda: ("inplace", "Hello pasted by the message") in since(mark), 5), \
            target.entries()[mark:]
        # Ctrl+click on it, then a double click on an entry: pasted at the caret.
        mark = len(target.entries())
        assert probe("inplace-reset")[0] == 0
        ctrl_click(*PasteTarget.IN_PLACE)
        state = wait_for(lambda: bar_state()["expanded"] == 1 and bar_state(), 3)
        assert state, bar_state()
        double_click(*row_point(state, 2))
        assert wait_for(lambda: any(how == "inplace" and "typed by the keystroke" in text
                                    for how, text in since(mark)), 5), target.entries()[mark:]
        # A click outside closes the popup, and the window clicked gets the click.
        mark = len(target.entries())
        xdotool("mousemove", *PasteTarget.IN_PLACE)
        time.sleep(0.1)
        hot_key()
        assert wait_for(lambda: bar_state()["expanded"] == 1, 3), bar_state()
        click_into_notepad(*PasteTarget.BACKGROUND)
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
        assert ("click", "") in target.entries()[mark:], target.entries()[mark:]
        assert probe("modifiers")[1].strip() == "", probe("modifiers")

        # A [Paste] line for the program overrides the choice.
        set_paste_line(app, "shift+insert")
        copy(" by shift+insert")
        assert wait_for(lambda: bar_state()["label"] == "by shift+insert", 5)
        double_click(*row_point(target.summon_over(), 1))
        expected = ("shift+insert", "typed by the keystroke by shift+insert")
        assert wait_for(lambda: expected in target.entries(), 5), target.entries()
        set_paste_line(app, "none")
        copy("never pasted")
        assert wait_for(lambda: bar_state()["label"] == "never pasted", 5)
        double_click(*row_point(target.summon_over(), 1))
        assert wait_for(lambda: bar_state()["expanded"] == 0, 5), bar_state()
        time.sleep(0.5)
        assert target.entries()[-1] == expected, target.entries()
        assert probe("get")[1].strip() == "never pasted"

        # A Ctrl still held when the entry is chosen delays the paste until it is released, and
        # no key is left down.
        set_paste_line(app, "auto")
        copy(" after ctrl")
        assert wait_for(lambda: bar_state()["label"] == "after ctrl", 5)
        state = target.summon_over()
        xdotool("keydown", "ctrl")
        try:
            double_click(*row_point(state, 1))
            time.sleep(1)
            assert target.entries()[-1] == expected, target.entries()
        finally:
            xdotool("keyup", "ctrl")
        assert wait_for(lambda: target.entries()[-1] ==
                        ("ctrl+v", expected[1] + " after ctrl"), 5), target.entries()
        assert probe("modifiers")[1].strip() == "", probe("modifiers")

        # The clipboard held by another program: the entry stays, nothing is pasted.
        pasted = target.entries()
        state = target.summon_over()
        holder_out = os.path.join(app.folder, "holder.txt")
        holder = subprocess.Popen(["wine", PROBE, "hold", "4000"], stdout=open(holder_out, "w"),
                                  stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        try:
            assert wait_for(lambda: "held" in open(holder_out).read(), 10), "clipboard not held"
            double_click(*row_point(state, 2))  # "never pasted"
            code, told = balloon(3000)
            assert code == 0 and "another program is using it" in told, told
            assert target.entries() == pasted, target.entries()
        finally:
            holder.wait(timeout=30)
        assert target.entries() == pasted, target.entries()

        # A target closed before the entry is chosen: the window that comes to the front in its
        # place closes the popup; nothing is pasted anywhere, and no error box appears.
        clear_notepad()
        target.summon_over()
        target.close()
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
        assert foreground() == "Notepad", foreground()
        assert probe("error-box", 1500)[0] == 1, "an error box appeared"
        assert notepad_text() == "", notepad_text()
        app.close()
        history = app.history()
        assert history.count("never pasted") == 1, history


def test_double_click_in_a_popup_opened_with_the_button_pastes_nothing():
    ensure_notepad()
    app = Snipora("button")
    with app:
        copy("first entry")
        copy("second entry")
        assert wait_for(lambda: bar_state()["label"] == "second entry", 5)
        clear_notepad()
        state = open_with_button()
        double_click(*row_point(state, 2))
        assert wait_for(lambda: probe("get")[1].strip() == "first entry", 5)
        time.sleep(0.5)
        state = bar_state()
        assert state["expanded"] == 1, state
        assert notepad_text() == "", notepad_text()
        assert state["label"] == "first entry", state


def test_entry_menu_moves_deletes_and_clears():
    app = Snipora("menu")
    assert probe("clear")[0] == 0
    with app:
        for text in ("alpha", "beta", "gamma"):
            copy(text)
        assert wait_for(lambda: bar_state()["label"] == "gamma", 5)
        open_with_button()

        def choose(row, item):
            """Right click on a row, then the menu item by its place: 1 to 4."""
            right_click(*row_point(bar_state(), row))
            time.sleep(0.5)
            for _ in range(item):
                xdotool("key", "Down")
            xdotool("key", "Return")
            time.sleep(0.5)

        # Rows: 0 history header, 1 gamma, 2 beta, 3 alpha, 4 notes header.
        choose(2, 2)  # "Move to notes" on beta
        # The notes unfold, the moved note selected in view: 3 notes header, 4 beta.
        assert wait_for(lambda: bar_state()["selectedrow"] == 4, 3), bar_state()
        app.close()
        records = read_records(app.data)
        assert [t for c, _, t in records if c == 1] == ["beta"], records
        assert [t for c, _, t in records if c == 0] == ["alpha", "gamma"], records

        assert probe("clear")[0] == 0
        app.start()
        open_with_button()
        history = app.history()
        # Rows now: 0 history header, 1.. newest first; delete the second one shown.
        doomed = list(reversed(history))[1]
        before = bar_state()["entries"]
        choose(2, 3)  # "Delete item"
        assert wait_for(lambda: bar_state()["entries"] == before - 1, 3), bar_state()
        # Gone from every file of the data folder once the next save has run.
        assert wait_for(lambda: doomed not in app.history(), 10), (doomed, app.history())
        assert app.files_holding(doomed) == []
        # Ctrl+Z, once the popup has the keys, brings it back in its place, selected.
        xdotool("mousemove", *row_point(bar_state(), 1))
        time.sleep(0.1)
        press(True)
        time.sleep(0.1)
        press(False)
        time.sleep(0.3)
        keys("ctrl+z")
        assert wait_for(lambda: bar_state()["entries"] == before, 3), bar_state()
        assert bar_state()["selectedrow"] == 2, bar_state()
        choose(2, 3)
        app.close()
        assert doomed not in app.history(), (doomed, app.history())
        assert [t for c, _, t in read_records(app.data) if c == 1] == ["beta"]

        assert probe("clear")[0] == 0
        # A copy of a damaged data file keeps what it held, until the Clear question removes it.
        open(app.data + ".damaged", "wb").write("alpha".encode("utf-16-le"))
        app.start()
        copy("delta")
        copy("epsilon")
        assert wait_for(lambda: bar_state()["label"] == "epsilon", 5)
        open_with_button()
        count = len(app.history()) + 2

        def clear_history():
            """Chooses "Clear history…" on a history entry; returns the middle of the question."""
            choose(1, 4)
            code, out = probe("dialog", "Snipora", 5000)
            assert code == 0, "Clear did not ask"
            assert f"Delete all {count} history entries?" in out, out
            assert "A copy of a damaged data file, data.dat.damaged, still holds" in out, out
            place = dict(f.split("=") for f in out.splitlines()[0].split())
            return (int(place["left"]) + int(place["width"]) // 2,
                    int(place["top"]) + int(place["height"]) // 2)

        # Enter takes the default answer, Cancel: the list stays, the popup open.
        keys("Return", over=clear_history())
        assert probe("dialog-gone", "Snipora", 3000)[0] == 0
        time.sleep(0.3)
        assert bar_state()["entries"] == 2 + count + 1 and bar_state()["expanded"] == 1, bar_state()
        clear_history()
        # Yes: the history and the damaged copy go, the notes stay.
        assert probe("dialog-press", "Snipora", 6)[0] == 0
        assert wait_for(lambda: bar_state()["entries"] == 2 + 1, 3), bar_state()
        app.close()
        assert not os.path.exists(app.data + ".damaged")
        assert [t for t in ("alpha", "gamma") if app.files_holding(t)] == []
        records = read_records(app.data)
        assert [t for c, _, t in records if c == 0] == [], records
        assert [t for c, _, t in records if c == 1] == ["beta"], records


def test_the_entry_menu_has_every_key_and_a_popup_over_its_own_bar_takes_them():
    ensure_notepad()
    app = Snipora("menukeys")
    assert probe("clear")[0] == 0
    with app:
        for text in ("alpha", "beta", "gamma"):
            copy(text)
        assert wait_for(lambda: bar_state()["label"] == "gamma", 5)
        clear_notepad()
        xdotool("mousemove", 200, 150)
        time.sleep(0.1)
        hot_key()
        assert wait_for(lambda: bar_state()["expanded"] == 1, 3), bar_state()
        # Shift+F10 opens the menu of the newest entry; Down and Enter are the menu's: nothing
        # reaches the list behind it, nor notepad.
        keys("shift+F10", over=(200, 150))
        time.sleep(0.5)
        # The menu opens beside the selected row (row 1). Wine hands keys to the window under
        # the pointer, Windows to the one in front, which the menu's window now is: the pointer
        # goes onto the menu's first item, which that highlights; Down is "Move to notes".
        state = bar_state()
        menu = (state["treeleft"] + 60, state["treetop"] + state["itemheight"] * 3 // 2 + 12)
        keys("Down", "Return", over=menu)
        # Rows: 0 history header, 1 beta, 2 alpha, 3 notes header, 4 gamma.
        state = wait_for(lambda: bar_state()["selectedrow"] == 4 and bar_state(), 3)
        assert state and state["expanded"] == 1, bar_state()
        assert notepad_text() == "", notepad_text()
        assert wait_for(lambda: foreground() == "Notepad", 3), foreground()
        # The popup has the keys again, with no modifier left held: "1" chooses the newest.
        keys("1")
        assert wait_for(lambda: notepad_text() == "beta", 5), notepad_text()
        app.close()
        assert [t for c, _, t in read_records(app.data) if c == 1] == ["gamma"]

        # Right after a start the bar is in front: the popup that the hot key opens over it
        # takes the focus, and with it the keys.
        app.start()
        state = bar_state()
        xdotool("mousemove", state["left"] + 40, state["top"] + 12)
        time.sleep(0.1)
        hot_key()
        state = wait_for(lambda: bar_state()["expanded"] == 1 and bar_state(), 3)
        assert state, bar_state()
        keys("l", over=(state["left"] + 50, state["top"] + 100))
        state = wait_for(lambda: bar_state()["filtering"] == 1 and bar_state(), 3)
        assert state and state["entries"] == 2 + 1, bar_state()  # the two headers and alpha
        keys("Escape", "Escape")
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
