"""End-to-end: several entries selected in the popup, pasted together and one by one into
notepad, with the user's clipboard put back after both."""
from e2e import *  # noqa: F401,F403  (the shared helpers)
from e2e_items import clear_notepad, double_click, notepad_text, row_point


def formats():
    code, out = probe("formats")
    assert code == 0
    return out.splitlines()


def summon_with_keys():
    xdotool("mousemove", 200, 150)
    time.sleep(0.1)
    hot_key()
    state = wait_for(lambda: bar_state()["expanded"] == 1 and bar_state(), 3)
    assert state, bar_state()
    return (200, 150)


def paste_next():
    """The paste-next key as it comes out of the box, Ctrl+Shift+N, over notepad."""
    xdotool("keydown", "ctrl", "shift", "n")
    time.sleep(0.03)
    xdotool("keyup", "n", "shift", "ctrl")


def test_selected_entries_paste_together_and_one_by_one_and_the_clipboard_comes_back():
    ensure_notepad()
    app = Snipora("several")
    with open(app.ini, "a", newline="\r\n") as f:
        f.write("HistorySize=100\nHistoryShown=100\nJoinSeparator=--\n")
    assert probe("clear")[0] == 0
    with app:
        texts = [f"e{i:02}" for i in range(1, 21)]
        for text in texts:
            copy(text)
        assert wait_for(lambda: bar_state()["label"] == "e20", 5), bar_state()
        # The user's clipboard: a text and a format of the probe's own.
        assert probe("set-rich", "before together")[0] == 0
        assert wait_for(lambda: bar_state()["label"] == "before together", 5), bar_state()
        before = formats()
        assert len(before) >= 2 and "Snipora Probe Rich" in before[1] + before[-1], before
        clear_notepad()
        # Row 1 is the newest ("before together"); Down, then 19 times Shift+Down: e20 to e01,
        # chosen newest first, pasted as they were copied.
        keys("Down", *["shift+Down"] * 19, over=summon_with_keys())
        assert wait_for(lambda: bar_state()["label"] == "20 selected", 3), bar_state()
        # Ctrl+Space takes the last one out and puts it back, numbered last now.
        keys("ctrl+space")
        assert wait_for(lambda: bar_state()["label"] == "19 selected", 3), bar_state()
        keys("ctrl+space")
        assert wait_for(lambda: bar_state()["label"] == "20 selected", 3), bar_state()
        # A double click on a selected entry (Enter's choice is the tree's test) pastes them all.
        state = bar_state()
        double_click(*row_point(state, state["selectedrow"]))
        joined = "--".join(texts)
        assert wait_for(lambda: notepad_text() == joined, 5), notepad_text()
        assert wait_for(lambda: formats() == before, 5), (formats(), before)

        # Fifty more, queued and pasted one by one by fifty presses at ten a second.
        assert probe("set-many", "q", 50, 30)[0] == 0
        queued = [f"q{i}" for i in range(1, 51)]
        assert wait_for(lambda: bar_state()["label"] == "q50", 10), bar_state()
        assert probe("set-rich", "before the queue")[0] == 0
        assert wait_for(lambda: bar_state()["label"] == "before the queue", 5), bar_state()
        before = formats()
        clear_notepad()
        keys("Down", *["shift+Down"] * 49, over=summon_with_keys())
        assert wait_for(lambda: bar_state()["label"] == "50 selected", 3), bar_state()
        # The entry menu beside the selected row; the pointer on its first item highlights it,
        # and Up twice goes round to "Paste one by one", next to the last item.
        keys("shift+F10")
        time.sleep(0.5)
        state = bar_state()
        menu = (state["treeleft"] + 60, state["treetop"] + state["itemheight"] * 3 // 2 + 12)
        keys("Up", "Up", "Return", over=menu)
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
        assert wait_for(lambda: bar_state()["label"] == "Next (1 of 50): q1", 3), bar_state()
        xdotool("mousemove", 300, 300)
        time.sleep(0.2)
        for _ in queued:
            paste_next()
            time.sleep(0.07)
        assert wait_for(lambda: notepad_text() == "".join(queued), 10), notepad_text()
        assert wait_for(lambda: formats() == before, 5), (formats(), before)
        assert wait_for(lambda: bar_state()["label"] == "before the queue", 3), bar_state()
        # Delete takes three selected entries, and one Ctrl+Z brings all three back.
        keys("Down", "shift+Down", "shift+Down", over=summon_with_keys())
        rows = bar_state()["entries"]
        keys("Delete")
        assert wait_for(lambda: bar_state()["entries"] == rows - 3, 3), (bar_state(), rows)
        keys("ctrl+z")
        assert wait_for(lambda: bar_state()["entries"] == rows, 3), (bar_state(), rows)
        # A queue stopped early from the tray menu puts the clipboard back as well.
        keys("Escape")
        keys("Down", "shift+Down", over=summon_with_keys())
        keys("shift+F10")
        time.sleep(0.5)
        keys("Up", "Up", "Return", over=menu)
        assert wait_for(lambda: bar_state()["label"] == "Next (1 of 2): q49", 3), bar_state()
        assert probe("command", 309)[0] == 0  # "Stop pasting one by one"
        assert wait_for(lambda: bar_state()["label"] == "before the queue", 3), bar_state()
        assert wait_for(lambda: formats() == before, 5), (formats(), before)
        summon_with_keys()
        keys("Escape")
        app.close()
        # The history as it was, with the joined text once, oldest first: nothing of the pastes
        # or of the clipboard put back was recorded.
        history = app.history()
        assert history == texts + ["before together", joined] + queued + ["before the queue"], \
            history
