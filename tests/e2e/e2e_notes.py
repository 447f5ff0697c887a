"""End-to-end: notes typed in, edited and put in order in the popup, and kept on disk."""
from e2e import *  # noqa: F401,F403  (the shared helpers)
from e2e_items import notepad_text, clear_notepad


def editor(title):
    """The open editor: its place, and its field's text; the pointer is put over it, where the
    X server sends the keys."""
    code, out = probe("dialog", title, 5000)
    assert code == 0, f"no editor titled {title}"
    lines = out.splitlines()
    place = {k: int(v) for k, v in (f.split("=") for f in lines[0].split())}
    field = [line.split(" ", 8) for line in lines[1:] if line.startswith("1201 ")]
    assert field, out
    xdotool("mousemove", place["left"] + place["width"] // 2, place["top"] + 40)
    time.sleep(0.2)
    return field[0][8] if len(field[0]) > 8 else ""


def type_text(text):
    xdotool("type", "--delay", 60, text)
    time.sleep(0.3)


NOTEPAD = (200, 150)


def summon():
    """The hot key over notepad, which keeps the focus: the popup opens at the pointer and takes
    the keys typed over notepad."""
    click_into_notepad(*NOTEPAD)
    hot_key()
    state = wait_for(lambda: (bar_state()["expanded"] == 1) and bar_state(), 3)
    assert state and state["active"] == 0, bar_state()
    xdotool("mousemove", *NOTEPAD)
    time.sleep(0.1)


def test_notes_are_moved_typed_in_and_edited_and_the_window_in_front_gets_the_focus_back():
    app = Snipora("notes")
    assert probe("clear")[0] == 0
    write_records(app.data, [(1, 45000.0 + i, f"note {i}") for i in range(1, 5)])
    ensure_notepad()
    clear_notepad()
    type_text("the window in front")
    app.start()

    # Ctrl+Up three times takes the bottom note to the top. Rows: 0 the (empty) history's
    # header, 1 the notes' header, 2 note 4 ... 5 note 1.
    summon()
    keys("Down", "Right", "End")
    assert wait_for(lambda: bar_state()["selectedrow"] == 5, 3), bar_state()
    keys("ctrl+Up", "ctrl+Up", "ctrl+Up")
    assert wait_for(lambda: bar_state()["selectedrow"] == 2, 3), bar_state()

    # Ctrl+N: a note typed in; the program is killed half a second after OK.
    keys("ctrl+n")
    assert editor("New note") == ""
    type_text("typed note")
    keys("ctrl+Return")
    time.sleep(0.5)
    app.kill()
    app.start()

    # F2 on the note the search finds: the editor shows its text, OK takes the new one, and
    # notepad has the focus again with its text as it was.
    summon()
    keys("t", "y", "p", "e", "d")
    assert wait_for(lambda: bar_state()["entries"] == 3, 3), bar_state()
    keys("F2")
    assert editor("Edit") == "typed note"
    keys("ctrl+a")
    type_text("edited note")
    keys("ctrl+Return")
    assert probe("dialog-gone", "Edit", 3000)[0] == 0
    assert wait_for(lambda: foreground() == "Notepad", 3), foreground()
    assert notepad_text() == "the window in front"
    assert bar_state()["expanded"] == 0, bar_state()
    summon()
    keys("e", "d", "i", "t")
    assert wait_for(lambda: bar_state()["entries"] == 3, 3), bar_state()
    keys("Escape", "Escape")
    app.close()
    notes = [t for c, _, t in read_records(app.data) if c == 1]
    assert notes == ["note 2", "note 3", "note 4", "note 1", "edited note"], notes
    app.start()
    app.close()
    assert app.files_holding("typed note") == []
    notes = [t for c, _, t in read_records(app.data) if c == 1]
    assert notes == ["note 2", "note 3", "note 4", "note 1", "edited note"], notes
