"""End-to-end: choosing entries in the popup, and pasting into the window it was summoned over."""
from e2e import *  # noqa: F401,F403  (the shared helpers)


def double_click(x, y):
    """Under Wine without a window manager the click that activates a window does not start a
    double click: a first click activates the popup, then comes the double click."""
    xdotool("mousemove", x, y)
    time.sleep(0.1)
    xdotool("mousedown", 1)
    time.sleep(0.05)
    xdotool("mouseup", 1)
    time.sleep(0.8)
    for _ in range(2):
        xdotool("mousedown", 1)
        time.sleep(0.04)
        xdotool("mouseup", 1)
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


def test_double_click_pastes_into_the_window_summoned_over():
    ensure_notepad()
    app = Snipora("paste")
    assert probe("clear")[0] == 0  # what a run before left on the clipboard is not recorded
    app.start()
    try:
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
            state = wait_for(lambda: bar_state()["expanded"] == 1 and bar_state()["active"] == 1
                             and bar_state(), 3)
            assert state, bar_state()
            return (state["left"] + 50, state["top"] + 10)  # the bar's strip, for the keys

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
    finally:
        app.stop()


def test_double_click_in_a_popup_opened_with_the_button_pastes_nothing():
    ensure_notepad()
    app = Snipora("button")
    app.start()
    try:
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
    finally:
        app.stop()


def test_entry_menu_moves_deletes_and_clears():
    app = Snipora("menu")
    assert probe("clear")[0] == 0
    app.start()
    try:
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
        choose(2, 3)  # "Delete item"
        app.close()
        assert doomed not in app.history(), (doomed, app.history())
        assert [t for c, _, t in read_records(app.data) if c == 1] == ["beta"]

        assert probe("clear")[0] == 0
        app.start()
        open_with_button()
        choose(1, 4)  # "Clear" on a history entry empties the history only
        app.close()
        records = read_records(app.data)
        assert [t for c, _, t in records if c == 0] == [], records
        assert [t for c, _, t in records if c == 1] == ["beta"], records
    finally:
        app.stop()
