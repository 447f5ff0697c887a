"""End-to-end: what the bar and the popup look like on the screen. Screenshots are kept under the
work folder's screenshots/ for people to look at; the pixels that the drawing fixes are checked."""
import datetime
import os
import struct
import subprocess
import time

from e2e import WORK, Snipora, bar_state, probe, wait_for, xdotool

SHOTS = os.path.join(WORK, "screenshots")

ORANGE_LINE, BLUE_TOP = (0xA8, 0x7C, 0x40), (0xC0, 0xDE, 0xF7)
WHITE, GREY = (0xFF, 0xFF, 0xFF), (0xF0, 0xF0, 0xF0)
BOARD = (0xA0, 0x67, 0x2E)  # the clipboard in the program's images


def ole_now(days_back=0):
    now = datetime.datetime.now() - datetime.timedelta(days=days_back)
    delta = now - datetime.datetime(1899, 12, 30)
    return delta.days + delta.seconds / 86400.0


def write_data(app, records):
    """data.dat with (category, time, text) records, oldest first."""
    with open(app.data, "wb") as f:
        for category, when, text in records:
            units = text.encode("utf-16-le")
            f.write(struct.pack("<idI", category, when, len(units) // 2) + units)


class Shot:
    """A screenshot of the whole display, its pixels readable."""

    def __init__(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        self.path = os.path.join(SHOTS, name)
        subprocess.run(["import", "-window", "root", self.path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        out = subprocess.run(["convert", self.path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True).stdout
        size = subprocess.run(["identify", "-format", "%w %h", self.path], check=True,
                              capture_output=True, text=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = out

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def has(self, colour, left, top, right, bottom):
        return any(self.at(x, y) == colour for y in range(top, bottom) for x in range(left, right))

    def crop(self, name, left, top, width, height):
        subprocess.run(["convert", self.path, "-crop", f"{width}x{height}+{left}+{top}",
                        "+repage", os.path.join(SHOTS, name)], check=True)


def held_click(x, y, hold=0.12):
    xdotool("mousemove", x, y)
    time.sleep(0.1)
    xdotool("mousedown", 1)
    time.sleep(hold)
    xdotool("mouseup", 1)
    time.sleep(0.3)


def test_drawing_bar_and_popup_on_screen():
    app = Snipora("drawing")
    write_data(app, [
        (1, ole_now(3), "An older quick note"),
        (1, ole_now(2), "Newest quick note & more"),
        (0, ole_now(5), "Copied days ago: shows the date as well"),
        (0, ole_now(), "x" * 1234),
        (0, ole_now(), "Ελληνικά, 中文, עברית: any language as it was copied"),
        (0, ole_now(), "The newest entry\nwith a second line"),
    ])
    assert probe("clear")[0] == 0
    with app:
        state = bar_state()
        assert state["entries"] == 2 + 4 + 2, state
        # The collapsed bar with the button's glyph at its right end.
        xdotool("mousemove", 5, 1000)
        time.sleep(0.5)
        shot = Shot("drawing-full-bar.png")
        left, top, width = state["left"], state["top"], state["width"]
        shot.crop("drawing-bar.png", left, top, width, state["height"])
        assert shot.has(BOARD, left + width - 21, top + 1, left + width - 1, top + 28), \
            "no glyph on the button"
        bottom = top + state["height"] - 1
        assert all(shot.at(x, bottom) == ORANGE_LINE for x in range(left, left + width)), \
            "the bar's frame is not whole at its bottom"

        # Open in place, unfold the notes and select the second history entry.
        held_click(left + width - 11, top + 14)
        state = wait_for(lambda: (bar_state()["expanded"] == 1) and bar_state(), 3)
        assert state, bar_state()
        row = state["itemheight"]
        tree_left, tree_top = state["treeleft"], state["treetop"]
        assert row == 40, state
        # Rows: 0 history header, 1-4 history, 5 notes header, 6-7 notes once unfolded by a
        # click on the header's expander.
        held_click(left + width - 12, tree_top + 5 * row + row // 2)
        assert wait_for(lambda: bar_state()["selectedrow"] == 5, 3), bar_state()
        held_click(tree_left + 100, tree_top + 2 * row + row // 2)
        # Closed and opened again, the tree is painted whole: Wine's tree view repaints a row
        # that changes a pixel short at its bottom.
        held_click(left + width - 11, top + 14)
        assert wait_for(lambda: bar_state()["expanded"] == 0, 3), bar_state()
        held_click(left + width - 11, top + 14)
        assert wait_for(lambda: bar_state()["expanded"] == 1, 3), bar_state()
        xdotool("mousemove", left + width // 2, top + 14)
        time.sleep(0.5)
        shot = Shot("drawing-full-popup.png")
        shot.crop("drawing-popup.png", left, top, width, state["height"])

        # The rows' pixels are the drawing's own tests; here only that its work reaches the
        # screen: the skin's band on the header, and the row chosen by a real click highlighted.
        x = left + width - 3
        y = lambda r, dy: tree_top + r * row + dy  # noqa: E731
        assert shot.at(x, y(0, 0)) == ORANGE_LINE, shot.at(x, y(0, 0))
        assert shot.at(x, y(5, 0)) == BLUE_TOP, shot.at(x, y(5, 0))
        assert shot.at(x, y(7, row - 1)) == (0xC0, 0xC0, 0xC0), "the notes did not unfold"
        # Both headers, their lists unfolded, show the expander at their right end.
        for r in (0, 5):
            assert shot.has((0, 0, 0), left + width - 20, y(r, 12), left + width - 4, y(r, 28)), r
        backgrounds = [shot.at(x, y(r, 20)) for r in (1, 2, 3)]
        assert backgrounds[1] not in (WHITE, GREY), backgrounds
        assert backgrounds[0] == WHITE and backgrounds[2] == WHITE, backgrounds


PERSONALIZE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"
DARK_ROW, DARK_HEADER = (0x20, 0x20, 0x20), (0x33, 0x3A, 0x44)


def reg(*args):
    subprocess.run(["wine", "reg", *args], check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)


def open_in_place(state):
    """Opens the popup with the bar's button; the popup's state once open."""
    left, top, width = state["left"], state["top"], state["width"]
    held_click(left + width - state["height"] // 2, top + state["height"] // 2)
    opened = wait_for(lambda: (bar_state() or {}).get("expanded") == 1 and bar_state(), 3)
    assert opened, bar_state()
    xdotool("mousemove", 5, 1000)
    time.sleep(0.5)
    return opened


def test_drawing_follows_dark_mode_and_high_contrast_while_running():
    """Started in Windows' dark app mode the popup is dark; switched to light while it runs, it
    turns light; high contrast gives the system's window colours, with no skin band."""
    app = Snipora("drawing-theme")
    write_data(app, [(0, ole_now(), "first"), (0, ole_now(), "second")])
    try:
        assert probe("app-mode", 0)[0] == 0
        with app:
            state = open_in_place(bar_state())
            left, width, row = state["left"], state["width"], state["itemheight"]
            tree_top = state["treetop"]
            x = left + width - 3
            shot = Shot("drawing-full-popup-dark.png")
            shot.crop("drawing-popup-dark.png", left, state["top"], width, state["height"])
            assert shot.at(x, tree_top + row // 2) == DARK_HEADER, shot.at(x, tree_top + row // 2)
            assert shot.at(x, tree_top + row + row // 2) == DARK_ROW, \
                shot.at(x, tree_top + row + row // 2)
            # The bar above the tree is dark too.
            bar = shot.at(left + 4, state["top"] + 4)
            assert bar == (0x2B, 0x2B, 0x2B), bar

            assert probe("app-mode", 1)[0] == 0
            assert wait_for(lambda: Shot("drawing-full-popup-light-again.png").at(
                x, tree_top + row + row // 2) == WHITE, 3), "did not turn light"
            shot = Shot("drawing-full-popup-light-again.png")
            assert shot.at(x, tree_top) == ORANGE_LINE, "no skin band back in the light look"

            # Wine 8 refuses SPI_SETHIGHCONTRAST and always reports high contrast off; where the
            # system takes it, the popup must follow.
            if probe("high-contrast", 1)[0] != 0:
                print("  high contrast cannot be set on this system: not checked end to end")
                return
            colour = probe("window-colour")[1].strip()
            window = tuple(int(colour[i:i + 2], 16) for i in (0, 2, 4))
            assert wait_for(lambda: Shot("drawing-full-popup-high-contrast.png").at(
                x, tree_top + row // 2) == window, 3), "the header is not in the window colour"
            shot = Shot("drawing-full-popup-high-contrast.png")
            shot.crop("drawing-popup-high-contrast.png", left, state["top"], width,
                      state["height"])
            assert not shot.has(ORANGE_LINE, left, tree_top, left + width, tree_top + row)
            assert bar_state()["alpha"] == 255, "see-through in high contrast"
    finally:
        probe("high-contrast", 0)
        reg("delete", PERSONALIZE, "/v", "AppsUseLightTheme", "/f")


def test_drawing_at_144_dpi_scales_by_one_and_a_half():
    """At 144 dots per inch every size is one and a half times its size at 96: the bar's width,
    the popup's height, the rows."""
    app = Snipora("drawing-144")
    write_data(app, [(0, ole_now(), "first"), (0, ole_now(), "second")])
    try:
        reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
            "144", "/f")
        subprocess.run(["wineserver", "-k"], check=False)
        time.sleep(1)
        with app:
            state = bar_state()
            assert (state["width"], state["height"]) == (300, 44), state
            opened = open_in_place(state)
            assert opened["itemheight"] == 59, opened
            assert opened["height"] == 582, opened  # 388 at 96
            shot = Shot("drawing-full-popup-144dpi.png")
            shot.crop("drawing-popup-144dpi.png", opened["left"], opened["top"], opened["width"],
                      opened["height"])
            # The header's band fills the larger row, drawn at 59 pixels, and the first entry's
            # row follows.
            x, top = opened["treeleft"] + 1, opened["treetop"]
            assert shot.at(x, top) == ORANGE_LINE, shot.at(x, top)
            assert shot.at(x, top + 58) != WHITE and shot.at(x, top + 59 + 30) == WHITE
            # The first entry's clock comes from the 150 % image: its face is 15 pixels across
            # from (2, 2), where the 100 % image would give 11. The time starts at 18.
            left, row = opened["treeleft"], top + 59
            face = [(x, y) for y in range(row, row + 18) for x in range(left, left + 18)
                    if shot.at(x, y) != WHITE]
            xs, ys = [x for x, _ in face], [y for _, y in face]
            box = (min(xs) - left, min(ys) - row, max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
            assert box == (2, 2, 15, 15), box
    finally:
        reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
            "96", "/f")
        subprocess.run(["wineserver", "-k"], check=False)
        time.sleep(1)
