#!/usr/bin/env python3
"""The real program under X with a window manager, its update check pointed at
a server on the loopback address that misbehaves on purpose.

Each scenario starts a private Xvfb display and openbox once, then runs the
program again and again: it waits until the update check is in the state the
scenario is about (waiting for the document, reading a trickle, waiting for
the banner, showing its prompt, decoding a hostile banner), ends the program
as a user would and expects exit status 0 within a few seconds.

  update_check_desktop.py --program P --xwindow X --scenario S [--runs N]

Scenarios: close (the window closed through the window manager's protocol),
exit-menu (文件 > 退出 with real mouse and keys), prompt-input (the window
takes input while the prompt is up, and the prompt shows no link).
"""

import argparse
import http.server
import os
import shutil
import socketserver
import struct
import sys
import tempfile
import threading
import time
import zlib

from xdesktop import COUNT_LABEL, MENU_FILE, ORDER_CELL, TITLE, Desktop, ended

PROMPT_TITLE = "提示"
DOCUMENT_PATH = "/qt/yz/pb/1.php"


def png(width, height, rows, colour_type=0, broken_checksum=False):
    """A PNG of 8-bit samples; with broken_checksum its image data fails only at its last check."""
    def chunk(kind, data, crc=None):
        crc = zlib.crc32(kind + data) if crc is None else crc
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    data = zlib.compress(rows, 9)
    idat = chunk(b"IDAT", data, zlib.crc32(b"IDAT" + data) ^ 1 if broken_checksum else None)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + idat + chunk(b"IEND", b"")


def banner_png():
    """A 1200 x 20 banner in one colour."""
    row = b"\x00" + b"\x30\x80\xd0" * 1200
    return png(1200, 20, row * 20, colour_type=2)


def hostile_icon(size=65536):
    """An icon whose every directory entry points at one large PNG that fails at its end."""
    side = 4096
    image = png(side, side, (b"\x00" + b"\x7f" * side) * side, broken_checksum=True)
    count = (size - 6 - len(image)) // 16
    offset = 6 + 16 * count
    entry = struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(image), offset)
    return struct.pack("<HHH", 0, 1, count) + entry * count + image


def document(port, version="2.11", flag="0", prompt="", banner="/banner"):
    text = ("<?xml version=\"1.0\" encoding=\"gb2312\"?><update>"
            f"<v>{version}</v><page>http://127.0.0.1:{port}/download</page>"
            f"<text><![CDATA[{prompt}]]></text><img>http://127.0.0.1:{port}{banner}</img>"
            f"<link>http://127.0.0.1:{port}/shop</link><f>{flag}</f></update>")
    return text.encode("gbk")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), Handler)
        self.mode = "stall"
        self.stopping = threading.Event()
        self.reached = threading.Event()  # the update check is where the scenario wants it
        self.banner = banner_png()
        self.hostile = hostile_icon()

    @property
    def port(self):
        return self.server_address[1]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def send_body(self, body, content_type="application/octet-stream"):
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def hold(self):
        self.server.reached.set()
        while not self.server.stopping.wait(0.05):
            pass

    def do_GET(self):
        s, mode = self.server, self.server.mode
        try:
            if self.path == DOCUMENT_PATH:
                if mode == "stall":
                    return self.hold()
                if mode == "trickle":
                    self.send_response(200)
                    self.send_header("Content-Length", "100000")
                    self.end_headers()
                    while not s.stopping.is_set():
                        self.wfile.write(b"<")
                        self.wfile.flush()
                        s.reached.set()
                        s.stopping.wait(1)
                    return
                if mode == "prompt":
                    prompt = "<a href=\"file:///etc/passwd\">点此更新</a> <b>有新版本</b>，是否下载？"
                    return self.send_body(document(s.port, "2.12", "1", prompt), "text/xml")
                banner = "/hostile.ico" if mode == "hostile" else "/banner"
                return self.send_body(document(s.port, banner=banner), "text/xml")
            if self.path == "/banner":
                if mode == "banner-stall":
                    return self.hold()
                return self.send_body(s.banner, "image/png")
            if self.path == "/hostile.ico":
                self.send_body(s.hostile, "image/x-icon")
                s.reached.set()
                return
            self.send_body(b"", "text/plain")
        except (BrokenPipeError, ConnectionResetError):
            pass


def start_program(args, desktop, server, workdir):
    return desktop.start(args.program,
                         IMPOSTRA_TEST_UPDATE_ENDPOINT=f"http://127.0.0.1:{server.port}{DOCUMENT_PATH}",
                         PATH=workdir + os.pathsep + os.environ.get("PATH", ""))


def wait_reached(server, mode, desktop):
    """Waits until the update check is in the state the mode is about."""
    if mode == "prompt":
        desktop.x("wait", PROMPT_TITLE, "20000")
    elif mode != "served" and not server.reached.wait(20):
        raise AssertionError(f"the update check never reached the {mode} state")


def one_run(args, desktop, server, workdir, mode, end):
    server.mode = mode
    server.reached.clear()
    server.stopping.clear()
    program = start_program(args, desktop, server, workdir)
    try:
        desktop.x("wait", TITLE, "20000")
        wait_reached(server, mode, desktop)
        if mode == "hostile":
            time.sleep(0.2)  # the banner is being decoded now
        end(desktop)
        code = ended(program)
    finally:
        server.stopping.set()
        if program.poll() is None:
            program.kill()
            program.wait()
    if code != 0:
        err = program.stderr.read().decode(errors="replace")[-2000:]
        raise AssertionError(f"{mode}: the program ended with {code}\n{err}")


def close_window(desktop):
    desktop.x("close", TITLE)


def exit_from_menu(desktop):
    desktop.click(TITLE, MENU_FILE)
    desktop.x("menu", "-", "5000")
    desktop.xdotool("key", "Up", "Return")  # the last item, 退出


def prompt_input(args, desktop, server, workdir):
    """With the prompt up, the menu opens, typing reaches the order grid, and the
    prompt's markup is only text: clicking over it opens nothing."""
    server.mode = "prompt"
    server.stopping.clear()
    opened = os.path.join(workdir, "opened.txt")
    program = start_program(args, desktop, server, workdir)
    try:
        desktop.x("wait", TITLE, "20000")
        desktop.x("wait", PROMPT_TITLE, "20000")
        before = desktop.pixels(COUNT_LABEL)

        desktop.click(TITLE, MENU_FILE)
        desktop.x("menu", "-", "5000")
        desktop.xdotool("key", "Escape")

        desktop.click(TITLE, ORDER_CELL)
        desktop.xdotool("type", "--delay", "30", "1000")
        desktop.xdotool("key", "Return")
        desktop.wait_for_change(COUNT_LABEL, before)  # the window took the input

        size = desktop.x("size", PROMPT_TITLE).split()
        width, height = int(size[0]), int(size[1])
        for y in range(10, max(11, height // 2), 6):
            for x in range(10, width - 10, 12):
                desktop.click(PROMPT_TITLE, (x, y))
        time.sleep(1)
        if os.path.exists(opened):
            with open(opened) as f:
                raise AssertionError("clicking the prompt's text opened " + f.read())

        desktop.x("close", TITLE)
        code = ended(program)
        if code != 0:
            raise AssertionError(f"prompt-input: the program ended with {code}")
    finally:
        server.stopping.set()
        if program.poll() is None:
            program.kill()
            program.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--xwindow", required=True)
    parser.add_argument("--scenario", required=True, choices=["close", "exit-menu", "prompt-input"])
    parser.add_argument("--runs", type=int, default=20)
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix="impostra-desktop-")
    # The desktop's opener: whatever the program hands to it is written down.
    opener = os.path.join(workdir, "xdg-open")
    with open(opener, "w") as f:
        f.write(f"#!/bin/sh\necho \"$@\" >> {workdir}/opened.txt\n")
    os.chmod(opener, 0o755)

    server = Server()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    desktop = Desktop(args.xwindow)
    modes = ["stall", "trickle", "banner-stall", "prompt", "hostile"]
    failures = []
    try:
        if args.scenario == "prompt-input":
            prompt_input(args, desktop, server, workdir)
        else:
            end = close_window if args.scenario == "close" else exit_from_menu
            for mode in modes:
                for run in range(args.runs):
                    try:
                        one_run(args, desktop, server, workdir, mode, end)
                    except AssertionError as e:
                        failures.append(f"{mode} run {run + 1}: {e}")
                print(f"{args.scenario} while {mode}: {args.runs - sum(f.startswith(mode + ' ') for f in failures)}"
                      f" of {args.runs} runs ended with 0", flush=True)
    finally:
        desktop.close()
        server.stopping.set()
        server.shutdown()
        shutil.rmtree(workdir, ignore_errors=True)
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
