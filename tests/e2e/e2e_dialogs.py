"""End-to-end tests of the settings dialog, the update question and the about box.

Run through e2e.py, which collects the test_* functions of this module.
"""
import datetime
import os
import subprocess
import time

from e2e import (PROBE, WORK, Snipora, bar_state, copy, probe, wait_for, wine, work_area,
                 xdotool)

SETTINGS, ABOUT, QUESTION_BOX = "Settings", "About", "Snipora"
ID_OK, ID_CANCEL, ID_YES, ID_NO = 1, 2, 6, 7
ED_WIDTH, ED_HEIGHT, CB_PRIMARY, CB_SECONDARY, HOT_KEY = 1003, 1006, 1009, 1010, 1011
PRODUCT_URL, COMPANY_URL = 1102, 1104
MENU_SETTINGS, MENU_UPDATES, MENU_ABOUT, MENU_EXIT = 101, 102, 103, 104
CTRL_ALT = 0x0600  # the hot-key field's Ctrl and Alt flags, in its high byte
QUESTION = "Check for New Version? (Internet connection required)"
UPDATE_URL = "https://www.snipora.example/update.php?version=2.2"


def today():
    return (datetime.date.today() - datetime.date(1899, 12, 30)).days


def read_ini(path):
    """The section Main of an INI file, ANSI or UTF-16 with its byte-order mark."""
    data = open(path, "rb").read()
    if data.startswith(b"\xff\xfe"):
        text = data[2:].decode("utf-16-le")
    else:
        text = data.decode("latin-1")
    values, section = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line and section == "Main":
            key, value = line.split("=", 1)
            values[key.strip()] = value.strip()
    return values


def write_ini(app, **values):
    values.setdefault("FirstLaunch", 0)
    values.setdefault("LastUpdatesCheck", today())
    with open(app.ini, "w", newline="\r\n") as f:
        f.write("[Main]\n" + "".join(f"{k}={v}\n" for k, v in values.items()))


def dialog(title, ms=10000):
    """The shown dialog's place and its controls by id, or None."""
    code, out = probe("dialog", title, ms)
    if code != 0:
        return None
    lines = out.splitlines()
    shown = {k: int(v) for k, v in (f.split("=") for f in lines[0].split())}
    controls = {}
    for line in lines[1:]:
        parts = line.split(" ", 8)
        controls[int(parts[0])] = {
            "class": parts[1], "checked": int(parts[2]), "value": int(parts[3]),
            "rect": tuple(int(p) for p in parts[4:8]), "text": parts[8] if len(parts) > 8 else ""}
    shown["controls"] = controls
    return shown


def press(title, control):
    assert probe("dialog-press", title, control)[0] == 0, (title, control)


def gone(title, ms=5000):
    return probe("dialog-gone", title, ms)[0] == 0


def count(title):
    return int(probe("dialog-count", title)[1].strip() or 0)


def screenshot(name, shown):
    """The dialog's part of the screen, kept under the work folder's screenshots."""
    folder = os.path.join(WORK, "screenshots")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    geometry = f"{shown['width']}x{shown['height']}+{shown['left']}+{shown['top']}"
    subprocess.run(["import", "-window", "root", "-crop", geometry, path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class UrlRecorder:
    """Makes the probe the handler of https addresses in this test run's own Wine prefix; it
    writes down what it gets. The prefix's classes under HKEY_CURRENT_USER are not consulted by
    this Wine, so the machine's entry is replaced, and put back by remove()."""

    KEY = r"HKLM\Software\Classes\https\shell\open\command"

    def __init__(self, name):
        self.file = os.path.join(WORK, name + "-urls.txt")
        if os.path.exists(self.file):
            os.remove(self.file)
        code, out = wine(["reg", "query", self.KEY, "/ve"])
        self.before = None
        for line in out.splitlines():
            if "REG_SZ" in line:
                self.before = line.split("REG_SZ", 1)[1].strip()
        command = f'"{windows_path(PROBE)}" record "{windows_path(self.file)}" "%1"'
        assert wine(["reg", "add", self.KEY, "/ve", "/d", command, "/f"])[0] == 0

    def urls(self):
        if not os.path.exists(self.file):
            return []
        return open(self.file, encoding="utf-8").read().split()

    def remove(self):
        if self.before is not None:
            wine(["reg", "add", self.KEY, "/ve", "/d", self.before, "/f"])
        else:
            wine(["reg", "delete", self.KEY, "/ve", "/f"])


def chord(*keys):
    xdotool("keydown", *keys)
    time.sleep(0.15)
    xdotool("keyup", *reversed(keys))
    time.sleep(0.2)


def test_dialog_first_start_asks_for_settings_then_for_the_update_check():
    recorder = UrlRecorder("first-start")
    app = Snipora("dialog-first-start", fresh_settings=True)
    assert not os.path.exists(app.ini)
    app.start()
    try:
        shown = dialog(SETTINGS, 20000)
        assert shown, "no settings dialog"
        screenshot("settings-dialog.png", shown)
        c = shown["controls"]
        assert (c[ED_WIDTH]["text"], c[ED_HEIGHT]["text"]) == ("200", "390"), c
        assert c[CB_PRIMARY]["checked"] == 1 and c[CB_SECONDARY]["checked"] == 1, c
        assert c[HOT_KEY]["value"] == CTRL_ALT | ord("V"), c[HOT_KEY]
        assert (shown["client-width"], shown["client-height"]) == (353, 656), shown
        # The question waits until the dialog is done.
        assert count(QUESTION_BOX) == 0
        press(SETTINGS, ID_OK)
        question = dialog(QUESTION_BOX)
        assert question, "no update question"
        assert question["controls"][0xFFFF]["text"] == QUESTION, question
        # The day is stored before the answer.
        assert read_ini(app.ini).get("LastUpdatesCheck") == str(today()), read_ini(app.ini)
        press(QUESTION_BOX, ID_NO)
        assert gone(QUESTION_BOX)
        assert read_ini(app.ini) == {
            "FirstLaunch": "0", "WindowWidth": "200", "WindowHeight": "390",
            "PriHotKeyEnabled": "1", "SecHotKeyEnabled": "1", "SecHotKeyValue": "49238",
            "PasteNextHotKey": "24654", "HideFromCapture": "1", "ForgetHistoryAfter": "0",
            "HistorySize": "25", "HistoryShown": "7", "Theme": "system",
            "LastUpdatesCheck": str(today())}, read_ini(app.ini)
        time.sleep(1)
        assert recorder.urls() == [], recorder.urls()
        app.close()
        # The second start asks nothing.
        app.start()
        time.sleep(2)
        assert count(SETTINGS) == 0 and count(QUESTION_BOX) == 0
        app.close()
        # A close request from outside while the first-launch dialog is open ends the dialog,
        # then the program, with the history saved and no question asked.
        os.remove(app.ini)
        wine(["reg", "delete", "HKLM", "/v", "LastUpdatesCheck", "/f"])
        app.start()
        assert dialog(SETTINGS, 20000), "no settings dialog"
        copy("copied under the dialog")
        assert wait_for(lambda: bar_state()["label"] == "copied under the dialog", 5)
        assert probe("close")[0] == 0
        app.process.wait(timeout=20)
        assert count(SETTINGS) == 0 and count(QUESTION_BOX) == 0
        assert "copied under the dialog" in app.history(), app.history()
        # Nothing ran on settings that were gone, to land on the registry's root instead.
        assert wine(["reg", "query", "HKLM", "/v", "LastUpdatesCheck"])[0] != 0
    finally:
        app.stop()
        recorder.remove()


def test_dialog_cancel_after_changing_every_field_leaves_the_file_alone():
    app = Snipora("dialog-cancel")
    write_ini(app, WindowWidth=300)
    before = open(app.ini, "rb").read()
    with app:
        width = bar_state()["width"]
        assert probe("command", MENU_SETTINGS)[0] == 0
        shown = dialog(SETTINGS)
        assert shown and shown["controls"][ED_WIDTH]["text"] == "300", shown
        for args in (("dialog-set", ED_WIDTH, "640"), ("dialog-set", ED_HEIGHT, "700"),
                     ("dialog-check", CB_PRIMARY, 0), ("dialog-check", CB_SECONDARY, 0),
                     ("dialog-hotkey", HOT_KEY, 0x0100 | ord("Q"))):
            assert probe(args[0], SETTINGS, *args[1:])[0] == 0, args
        assert dialog(SETTINGS)["controls"][ED_WIDTH]["text"] == "640"
        press(SETTINGS, ID_CANCEL)
        assert gone(SETTINGS)
        time.sleep(0.5)
        assert open(app.ini, "rb").read() == before
        assert bar_state()["width"] == width


def test_dialog_too_wide_a_popup_is_shown_stored_and_applied_as_800():
    app = Snipora("dialog-wide")
    # Hand-edited sizes are held to the dialog's range, and the file keeps them until OK.
    write_ini(app, WindowWidth=-5)
    with app:
        assert bar_state()["width"] == 150, bar_state()
        app.close()
        assert read_ini(app.ini).get("WindowWidth") == "-5", read_ini(app.ini)
        write_ini(app, WindowWidth=100000)
        app.start()
        assert bar_state()["width"] == 800, bar_state()
        assert read_ini(app.ini).get("WindowWidth") == "100000", read_ini(app.ini)
        assert probe("command", MENU_SETTINGS)[0] == 0
        shown = dialog(SETTINGS)
        assert shown and shown["controls"][ED_WIDTH]["text"] == "800", shown
        press(SETTINGS, ID_OK)
        # Copies made right after OK are all kept, however long the dialog takes to close (here
        # without a window manager, Wine holds the window's thread 2 s while it hides).
        after_ok = [f"copied {i} after OK" for i in range(5)]
        for text in after_ok:
            copy(text)
            time.sleep(0.2)
        assert gone(SETTINGS)
        assert wait_for(lambda: read_ini(app.ini).get("WindowWidth") == "800", 3), \
            read_ini(app.ini)
        assert wait_for(lambda: bar_state()["width"] == 800, 3), bar_state()

        # A bar near the right edge made wider in the dialog moves left, its button in sight;
        # one stored above the screen comes down to its top.
        app.close()
        assert app.history()[-len(after_ok):] == after_ok, app.history()  # the newest, in order
        right = work_area()["right"]
        write_ini(app, WindowWidth=200, PositionX=right - 250, PositionY=-400)
        app.start()
        assert (bar_state()["left"], bar_state()["top"]) == (right - 250, 0), bar_state()
        assert probe("command", MENU_SETTINGS)[0] == 0
        assert dialog(SETTINGS)
        assert probe("dialog-set", SETTINGS, ED_WIDTH, "600")[0] == 0
        press(SETTINGS, ID_OK)
        assert gone(SETTINGS)
        state = wait_for(lambda: bar_state()["width"] == 600 and bar_state(), 3)
        assert state and (state["left"], state["top"]) == (right - 600, 0), bar_state()


def test_dialog_hot_key_field_puts_ctrl_alt_to_a_key_typed_alone():
    app = Snipora("dialog-hotkey")
    with app:
        assert probe("command", MENU_SETTINGS)[0] == 0
        shown = dialog(SETTINGS)
        assert shown
        left, top, w, h = shown["controls"][HOT_KEY]["rect"]
        xdotool("mousemove", left + w // 2, top + h // 2)
        time.sleep(0.1)
        xdotool("mousedown", 1)
        time.sleep(0.15)
        xdotool("mouseup", 1)
        time.sleep(0.3)
        xdotool("key", "k")
        field = lambda: (dialog(SETTINGS) or {}).get("controls", {}).get(HOT_KEY, {}).get("value")
        assert wait_for(lambda: field() == CTRL_ALT | ord("K"), 3), field()
        # Shift alone is a modifier of its own; all three become Ctrl+Alt.
        chord("shift", "j")
        assert wait_for(lambda: field() == 0x0100 | ord("J"), 3), field()
        chord("shift", "ctrl", "alt", "l")
        assert wait_for(lambda: field() == CTRL_ALT | ord("L"), 3), field()
        press(SETTINGS, ID_OK)
        assert gone(SETTINGS)
        assert wait_for(lambda: read_ini(app.ini).get("SecHotKeyValue") ==
                        str(0xC000 | ord("L")), 3), read_ini(app.ini)


def test_dialog_yes_opens_the_update_page_from_the_eighth_day_on():
    recorder = UrlRecorder("update-yes")
    try:
        # Seven days after the last offer nothing is asked.
        app = Snipora("dialog-update-7")
        write_ini(app, LastUpdatesCheck=today() - 7)
        app.start()
        time.sleep(2)
        assert count(QUESTION_BOX) == 0
        app.stop()

        app = Snipora("dialog-update-8")
        write_ini(app, LastUpdatesCheck=today() - 8)
        app.start()
        question = dialog(QUESTION_BOX)
        assert question and question["controls"][0xFFFF]["text"] == QUESTION, question
        press(QUESTION_BOX, ID_YES)
        assert gone(QUESTION_BOX)
        assert wait_for(recorder.urls, 15), "the update page was not opened"
        assert recorder.urls() == [UPDATE_URL], recorder.urls()
        assert read_ini(app.ini)["LastUpdatesCheck"] == str(today())
        # The menu asks again on the same day.
        assert probe("command", MENU_UPDATES)[0] == 0
        assert dialog(QUESTION_BOX), "no question from the menu"
        press(QUESTION_BOX, ID_NO)
        assert gone(QUESTION_BOX)
        app.stop()
    finally:
        recorder.remove()


def test_dialog_about_box_shows_the_same_twice_and_a_link_leaves_it_open():
    recorder = UrlRecorder("about")
    app = Snipora("dialog-about")
    app.start()
    try:
        texts = []
        for opening in range(2):
            assert probe("command", MENU_ABOUT)[0] == 0
            shown = dialog(ABOUT)
            assert shown, "no about box"
            texts.append({i: (c["class"], c["text"], c["rect"])
                          for i, c in shown["controls"].items()})
            if opening == 0:
                screenshot("about-box.png", shown)
                assert (shown["client-width"], shown["client-height"]) == (379, 243), shown
                # A second command while the box is open opens nothing over it.
                assert probe("command", MENU_SETTINGS)[0] == 0
                time.sleep(1)
                assert count(SETTINGS) == 0 and count(ABOUT) == 1
                # Nor does "Exit" pull the window away from under the open box.
                assert probe("command", MENU_EXIT)[0] == 0
                time.sleep(1)
                assert app.process.poll() is None and count(ABOUT) == 1
                press(ABOUT, PRODUCT_URL)
                assert wait_for(recorder.urls, 15), "the product page was not opened"
                press(ABOUT, COMPANY_URL)
                assert wait_for(lambda: len(recorder.urls()) == 2, 15), recorder.urls()
                assert recorder.urls() == ["https://www.snipora.example/",
                                           "https://www.tervix.example/"], recorder.urls()
                assert count(ABOUT) == 1, ("a link closed the box", count(ABOUT), dialog(ABOUT, 0))
            press(ABOUT, ID_OK)
            assert gone(ABOUT)
        assert texts[0] == texts[1]
        shown_texts = [t for _, t, _ in texts[0].values()]
        for expected in ("Snipora 2.2", "www.snipora.example", "www.tervix.example",
                         "Copyright \u00a9 Tervix", "All rights reserved.", "OK"):
            assert expected in shown_texts, shown_texts
    finally:
        app.stop()
        recorder.remove()
