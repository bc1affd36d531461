#!/usr/bin/env python3
"""The main window driven as a user drives it: the real program on a private X
display with openbox, real mouse and keys through xdotool, the real
clipboard through xclip. What the user would see is read back as pixels of
the window (compared with the same area after an input known to be right),
as window sizes, as windows that appear, and as clipboard text.

  window_desktop.py --program P --xwindow X

The program's update check is pointed at a closed port, so that it ends at
once and shows nothing.
"""

import argparse
import sys
import time

from xdesktop import COLUMN_WIDTH, COUNT_LABEL, ORDER_CELL, ROW_HEIGHT, TITLE, Desktop, ended, order_cell

CLIENT = (1214, 680)  # the minimum client area with the menu bar above it
PROMPT_TITLE = "提示"


def column_header(column):
    """The centre of a quantity column's header (订单数量)."""
    x, y = order_cell(1, column)
    return (x, y - ROW_HEIGHT)


def header_area(column):
    """A quantity column's header cell, inside its grid lines."""
    x, y = column_header(column)
    return (x - COLUMN_WIDTH // 2 + 2, y - ROW_HEIGHT // 2 + 2, COLUMN_WIDTH - 4, ROW_HEIGHT - 4)


class Session:
    """One run of the program on the desktop; as a context, it is ended
    (killed when it fails to end) whatever the scenario did."""

    def __init__(self, args, desktop):
        self.desktop = desktop
        self.program = desktop.start(args.program, IMPOSTRA_TEST_UPDATE_ENDPOINT="http://127.0.0.1:9/qt/yz/pb/1.php")
        desktop.x("wait", TITLE, "20000")
        time.sleep(0.3)  # the first paint

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        if self.program.poll() is None:
            self.program.kill()
            self.program.wait()
            self.desktop.x("gone", TITLE, "5000", check=False)

    def type_into(self, row, column, *entries):
        """Clicks a cell of the order grid and types each entry with Enter after it."""
        self.desktop.click(TITLE, order_cell(row, column))
        for entry in entries:
            self.desktop.xdotool("type", "--delay", "20", entry)
            self.desktop.xdotool("key", "Return")

    def label(self):
        time.sleep(0.3)  # what was typed is handled and painted
        return self.desktop.pixels(COUNT_LABEL)

    def close(self):
        self.desktop.x("close", TITLE)
        code = ended(self.program)
        if code != 0:
            raise AssertionError(f"the program ended with {code}")


def client_size(desktop):
    return tuple(int(v) for v in desktop.x("size", TITLE).split())


def resize_in_one_move(args, desktop):
    """Shrinking both directions in one drag snaps back to the minimum, as a
    program-requested resize does; the window used to come back taller."""
    with Session(args, desktop) as s:
        drag_and_resize(desktop)
        s.close()


def drag_and_resize(desktop):
    x, y, width, height = (int(v) for v in desktop.x("geometry", TITLE).split())
    corner = (x + width - 4, y + height + 2)  # the grip in the frame's bottom-right corner
    desktop.xdotool("mousemove", *corner)
    desktop.xdotool("mousedown", 1)
    time.sleep(0.1)
    desktop.xdotool("mousemove", corner[0] + 5, corner[1] + 5)  # past the drag threshold: the resize starts
    time.sleep(0.1)
    desktop.xdotool("mousemove", corner[0] - 400, corner[1] - 200)  # then one move in both directions
    time.sleep(0.2)
    desktop.xdotool("mouseup", 1)
    time.sleep(1)
    if client_size(desktop) != CLIENT:
        raise AssertionError(f"after the drag the window is {client_size(desktop)}, not {CLIENT}")
    desktop.xdotool("windowsize", desktop.x("id", TITLE), 800, 500)
    time.sleep(1)
    if client_size(desktop) != CLIENT:
        raise AssertionError(f"after a resize to 800 x 500 the window is {client_size(desktop)}, not {CLIENT}")


def reference_label(args, desktop, *entries):
    """The count label after the entries were typed down the first column."""
    with Session(args, desktop) as s:
        s.type_into(1, 1, *entries)
        label = s.label()
        s.close()
    return label


def out_of_range_quantity(args, desktop, one_thousand):
    """A quantity past 32 bits is wiped, not wrapped into a valid one and counted."""
    with Session(args, desktop) as s:
        s.type_into(1, 1, "4300000000", "1000")
        if s.label() != one_thousand:
            raise AssertionError("4300000000 was counted: the label is not that of 1000 alone")
        s.close()


def thousands_separators(args, desktop, two_quantities):
    """A column copied from a formatted spreadsheet pastes as whole numbers."""
    with Session(args, desktop) as s:
        desktop.set_clipboard("1,000\r\n2,500\r\n")
        desktop.click(TITLE, order_cell(1, 1))
        desktop.ctrl("v")
        if s.label() != two_quantities:
            raise AssertionError("pasting 1,000 and 2,500 did not count them as 1000 and 2500")
        s.close()


def paste_too_long(args, desktop):
    """A column longer than the grid says how many values were left out."""
    with Session(args, desktop) as s:
        desktop.set_clipboard("".join(f"{n}\r\n" for n in range(1, 61)))
        desktop.click(TITLE, order_cell(1, 1))
        desktop.ctrl("v")
        desktop.x("wait", PROMPT_TITLE, "5000")  # 有10个数值没有粘贴
        desktop.xdotool("key", "Return")
        desktop.x("gone", PROMPT_TITLE, "5000")
        s.close()


def header_press_copies_the_column(args, desktop):
    """A press on a column header selects the column: Ctrl+C copies it, not the old focus cell."""
    with Session(args, desktop) as s:
        s.type_into(1, 2, "1000", "2500")
        desktop.click(TITLE, column_header(2))
        desktop.ctrl("c")
        time.sleep(0.3)
        lines = desktop.clipboard().split("\r\n")
        if lines[:3] != ["1000", "2500", ""] or len(lines) < 50:
            raise AssertionError(f"Ctrl+C after a header press copied {lines[:4]}..., {len(lines)} lines")
        s.close()


def focus_headers_stand_out(args, desktop):
    """The headers of the focus column stand out from the same text in another column."""
    with Session(args, desktop) as s:
        plain = [desktop.pixels(header_area(c)) for c in (1, 2)]
        if plain[0] != plain[1]:
            raise AssertionError("two headers of the same text differ before any focus")
        desktop.click(TITLE, order_cell(3, 1))
        time.sleep(0.3)
        focused = [desktop.pixels(header_area(c)) for c in (1, 2)]
        if focused[0] == focused[1] or focused[1] != plain[1]:
            raise AssertionError("the focus column's header does not stand out")
        desktop.click(TITLE, order_cell(3, 2))
        time.sleep(0.3)
        if [desktop.pixels(header_area(c)) for c in (1, 2)] != [focused[1], focused[0]]:
            raise AssertionError("the emphasis did not follow the focus to the second column")
        s.close()


def editor_scrolled_away(args, desktop, labels):
    """An editor whose cell scrolls out of view ends its edit, and typing after
    it goes into a cell the user sees again."""
    with Session(args, desktop) as s:
        desktop.click(TITLE, order_cell(2, 1))
        desktop.xdotool("type", "--delay", "20", "12")
        desktop.click(TITLE, order_cell(10, 1), button=5)  # one notch of the wheel down
        if s.label() != labels["12"]:
            raise AssertionError("scrolling the open editor away did not commit 12")
        desktop.xdotool("type", "--delay", "20", "5")
        desktop.xdotool("key", "Return")
        if s.label() != labels["5"]:
            raise AssertionError("typing after the scroll did not replace 12 by 5")
        s.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--xwindow", required=True)
    args = parser.parse_args()

    desktop = Desktop(args.xwindow)
    failures = []

    def check(name, scenario, *more):
        try:
            scenario(args, desktop, *more)
            print(f"{name}: passed", flush=True)
        except AssertionError as e:
            failures.append(f"{name}: {e}")
            print(f"{name}: FAILED", flush=True)

    try:
        labels = {entries: reference_label(args, desktop, *entries.split()) for entries in
                  ("1000", "1000 2500", "12", "5")}
        check("resize in one move", resize_in_one_move)
        check("out-of-range quantity", out_of_range_quantity, labels["1000"])
        check("thousands separators", thousands_separators, labels["1000 2500"])
        check("a paste longer than the grid", paste_too_long)
        check("a header press, then Ctrl+C", header_press_copies_the_column)
        check("the focus column's headers", focus_headers_stand_out)
        check("an editor scrolled away", editor_scrolled_away, labels)
    finally:
        desktop.close()
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
