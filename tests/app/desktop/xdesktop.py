"""A private X display with a window manager, for tests that drive the real
program with real mouse and keys: Xvfb picks a free display, openbox manages
the windows, xdotool sends input and the project's xwindow tool finds
windows, closes them and hashes their pixels."""

import os
import subprocess
import time

TITLE = "VelmoraImpostra2.11"
# Where things are in the main window, in pixels from its top-left corner
# (the menu bar is 20 pixels high and the client area starts below it).
MENU_FILE = (21, 8)
ORDER_CELL = (73, 76)  # the first quantity cell of the order grid
ROW_HEIGHT = 20        # the order grid's rows
COLUMN_WIDTH = 60      # its quantity columns
COUNT_LABEL = (269, 47, 157, 18)  # 共0款合计0个


def order_cell(row, column):
    """The centre of a quantity cell of the order grid (row and column from 1)."""
    return (ORDER_CELL[0] + (column - 1) * COLUMN_WIDTH, ORDER_CELL[1] + (row - 1) * ROW_HEIGHT)


class Desktop:
    def __init__(self, xwindow, screen="1366x800"):
        self.xwindow = xwindow
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", screen + "x24",
                                      "-nolisten", "tcp"], pass_fds=(write,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise SystemExit("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)

    def close(self):
        for p in (self.wm, self.xvfb):
            p.terminate()
            p.wait()

    def start(self, program, **env):
        env = dict(self.env, QT_QPA_PLATFORM="xcb", **env)
        return subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def x(self, *args, check=True):
        result = subprocess.run([self.xwindow, *map(str, args)], env=self.env, capture_output=True, text=True)
        if check and result.returncode != 0:
            raise AssertionError(f"xwindow {' '.join(map(str, args))}: {result.stderr.strip() or result.returncode}")
        return result.stdout.strip()

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def ctrl(self, key):
        """Ctrl+key as a hand presses it: Ctrl goes up a moment after the key.
        (All at once, Ctrl can be up before the program reads the key's
        release, when reading the clipboard held the events back.)"""
        self.xdotool("keydown", "ctrl")
        time.sleep(0.05)
        self.xdotool("key", key)
        time.sleep(0.1)
        self.xdotool("keyup", "ctrl")

    def click(self, title, at, button=1):
        window = self.x("id", title)
        self.xdotool("mousemove", "--window", window, at[0], at[1], "click", button)

    def pixels(self, area, title=TITLE):
        return self.x("pixels", title, *area)

    def wait_for_change(self, area, before, seconds=10, title=TITLE):
        """Waits until the area's pixels differ from `before`; returns the new hash."""
        deadline = time.time() + seconds
        while True:
            now = self.pixels(area, title)
            if now != before:
                return now
            if time.time() > deadline:
                raise AssertionError(f"the area {area} did not change")
            time.sleep(0.1)

    def set_clipboard(self, text):
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode(), env=self.env, check=True)

    def clipboard(self):
        return subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env, capture_output=True,
                              check=True).stdout.decode(errors="replace")


def ended(program, seconds=10):
    """The program's exit status, or "still running" after it was killed."""
    try:
        return program.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
        return "still running"
