#!/usr/bin/env python3
"""Runs the real program on its own X server, with a window manager or without one, and checks
that the first drawings of the calibration window and of the editor have the size the user sees.

    firstdrawing.py PROGRAM (--wm openbox | --no-wm) [--shots DIR]

The user's path: "AVANTI" on the start window opens the calibration, whose horizontal axis must
lie at half its client height; one step of the bar and "OK - continua" open the base points,
where "===>>" takes the points and "AVANTI" opens the editor; there "ESEGUI" redraws the same
state, which must give the same pixels as the first drawing. With --shots, the start window and both first drawings are
saved there as PNG files. Needs Xvfb, xdotool, xprop and ImageMagick's import and convert.
"""

import argparse
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time

# Every wait is bounded; the whole run takes a few seconds.
WAIT = 8.0
POLL = 0.05


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=WAIT):
    """Returns the first true value of probe(), polling until timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(POLL)


def twips(value):
    """A layout measure of the program (twips) in pixels, as the windows place their controls."""
    return value // 15


def centre(left, top, width, height):
    """Centre, in client pixels, of a control placed at a rectangle in twips."""
    return twips(left) + twips(width) // 2, twips(top) + twips(height) // 2


def f32(value):
    """The value rounded to single precision, as the program stores its scale."""
    return struct.unpack("f", struct.pack("f", value))[0]


def calibration_axis_row(client_height):
    """Pixel row of the calibration window's horizontal axis, computed as the program does:
    a scale height of scale width x 0.51 in single precision, the axis at half of it."""
    scale_height = f32(f32(146367.359375) * 0.51)
    axis = f32(scale_height / 2)
    row = int(axis * (client_height / scale_height) // 1)
    return min(max(row, 0), client_height - 1)


class Desktop:
    """An X server of its own (with a window manager, if asked) and the program on it. Every
    process it starts ends with it."""

    def __init__(self, program, wm):
        self.processes = []
        self.program = program
        self.wm = wm
        self.env = dict(os.environ)
        self.logs = tempfile.TemporaryDirectory(prefix="cinquepunti-desktop-")
        # The program's settings and files of its own, apart from the user's and other tests'.
        self.env["XDG_DATA_HOME"] = os.path.join(self.logs.name, "data")
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.logs.name, "config")

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _spawn(self, name, command, **kwargs):
        log = open(os.path.join(self.logs.name, name + ".log"), "wb")
        process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, env=self.env,
                                   **kwargs)
        self.processes.append((name, process, log))
        return process

    def _start(self):
        # The server picks a free display itself and writes its number once it accepts clients.
        read_end, write_end = os.pipe()
        server = self._spawn("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                      "1920x1080x24", "-nolisten", "tcp", "-noreset"],
                             pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + WAIT
        os.set_blocking(read_end, False)
        while not number.endswith(b"\n"):
            if server.poll() is not None or time.monotonic() > deadline:
                os.close(read_end)
                raise Failure("the X server did not start\n" + self.log("Xvfb"))
            try:
                number += os.read(read_end, 16)
            except BlockingIOError:
                time.sleep(POLL)
        os.close(read_end)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.env["QT_QPA_PLATFORM"] = "xcb"

        if self.wm == "openbox":
            self._spawn("openbox", ["openbox", "--sm-disable"])
            wait_for("the window manager", lambda: "window id" in self.run(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False))
        self._spawn("program", [self.program])

    def close(self):
        for _, process, _ in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for _, _, log in self.processes:
            log.close()
        self.processes = []

    def log(self, name):
        try:
            with open(os.path.join(self.logs.name, name + ".log"), "rb") as log:
                return log.read().decode(errors="replace")
        except OSError:
            return ""

    def run(self, command, check=True, binary=False):
        result = subprocess.run(command, env=self.env, capture_output=True, timeout=WAIT)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout if binary else result.stdout.decode(errors="replace")

    def program_running(self):
        for name, process, _ in self.processes:
            if name == "program" and process.poll() is not None:
                raise Failure(f"the program ended ({process.returncode})\n" + self.log("program"))

    def window(self, title):
        """The visible window with this title, waited for."""
        def find():
            self.program_running()
            found = self.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                             check=False).split()
            return found[0] if found else None
        return wait_for(f"window {title}", find)

    def client_size(self, window):
        values = dict(line.split("=", 1) for line in self.run(
            ["xdotool", "getwindowgeometry", "--shell", window]).split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def click(self, window, point):
        self.run(["xdotool", "mousemove", "--window", window, str(point[0]), str(point[1]),
                  "click", "1"])

    def point_at(self, window, point):
        self.run(["xdotool", "mousemove", "--window", window, str(point[0]), str(point[1])])

    def capture(self, window):
        """The window's client area: (width, height, RGB bytes)."""
        width, height = self.client_size(window)
        pixels = self.run(["import", "-silent", "-window", window, "-depth", "8", "rgb:-"],
                          binary=True)
        if len(pixels) != width * height * 3:
            raise Failure(f"capture of {width}x{height} gave {len(pixels)} bytes")
        return width, height, pixels

    def steady_capture(self, window, what):
        """A capture once two in a row, a little apart, are the same: the window has painted."""
        last = [None]

        def probe():
            image = self.capture(window)
            same = image == last[0]
            last[0] = image
            if not same:
                time.sleep(0.15)
            return image if same else None
        return wait_for(what, probe)


def save_png(image, path):
    width, height, pixels = image
    subprocess.run(["convert", "-size", f"{width}x{height}", "-depth", "8", "rgb:-", path],
                   input=pixels, check=True, timeout=WAIT)


def black_rows(image, least):
    """Rows with at least `least` pure black pixels."""
    width, height, pixels = image
    rows = []
    for y in range(height):
        line = pixels[y * width * 3:(y + 1) * width * 3]
        if sum(1 for x in range(0, len(line), 3) if line[x:x + 3] == b"\0\0\0") >= least:
            rows.append(y)
    return rows


def differences(first, second):
    """Count and bounding box of the pixels that differ between two captures of one size."""
    width, height, a = first
    b = second[2]
    count, box = 0, None
    for y in range(height):
        start = y * width * 3
        if a[start:start + width * 3] == b[start:start + width * 3]:
            continue
        for x in range(width):
            i = start + x * 3
            if a[i:i + 3] != b[i:i + 3]:
                count += 1
                box = (min(box[0], x), min(box[1], y), max(box[2], x), max(box[3], y)) \
                    if box else (x, y, x, y)
    return count, box


def to_editor(desktop, shots=None, check_calibration=lambda first: None):
    """The user's path from the start window to the editor; returns the editor's window."""
    form1 = desktop.window("Form1")
    if shots:
        save_png(desktop.steady_capture(form1, "the start window"),
                 os.path.join(shots, "form1.png"))
    desktop.click(form1, centre(10560, 4320, 1095, 1455))  # AVANTI
    form2 = desktop.window("Form2")
    check_calibration(desktop.steady_capture(form2, "the calibration's first drawing"))
    # One step of the bar (its right arrow), then "OK - continua".
    desktop.click(form2, (twips(480) + twips(5895) - 8, twips(1080) + twips(255) // 2))
    desktop.click(form2, centre(3120, 2880, 1575, 615))
    # The base points as they stand ("===>>"), then AVANTI: the editor draws their chords.
    form3 = desktop.window("Form3")
    desktop.click(form3, centre(4560, 4800, 1455, 735))
    desktop.click(form3, centre(3240, 6840, 1575, 615))
    return desktop.window("Form4")


def run(program, wm, shots):
    with Desktop(program, wm) as desktop:
        # The calibration's first drawing: the horizontal axis across the whole width, at half
        # the height of the client area the window has on the screen.
        def check_calibration(first):
            width, height, _ = first
            if shots:
                save_png(first, os.path.join(shots, "form2-first.png"))
            axis = black_rows(first, width - 8)
            expected = calibration_axis_row(height)
            print(f"calibration: client {width}x{height}, axis at rows {axis}, "
                  f"expected {expected}")
            if axis != [expected]:
                raise Failure(f"calibration axis at rows {axis}, expected row {expected} of a "
                              f"{width}x{height} client area")
        form4 = to_editor(desktop, shots, check_calibration)

        # The editor: its first drawing, then "ESEGUI" (clear and redraw the same state). The
        # pointer rests on the bare drawing for both captures, so no control shows it hovering.
        rest = None

        def settled_editor():
            nonlocal rest
            size = desktop.client_size(form4)
            rest = (size[0] - 20, size[1] - 20)
            desktop.point_at(form4, rest)
            return desktop.steady_capture(form4, "the editor's first drawing")
        first = settled_editor()
        if shots:
            save_png(first, os.path.join(shots, "form4-first.png"))
        desktop.click(form4, centre(5400, 6480, 1935, 495))  # ESEGUI
        desktop.point_at(form4, rest)
        time.sleep(0.3)
        redrawn = desktop.steady_capture(form4, "the editor's redrawing")
        print(f"editor: client {first[0]}x{first[1]}, after ESEGUI {redrawn[0]}x{redrawn[1]}")
        if redrawn[:2] != first[:2]:
            raise Failure(f"the editor changed size from {first[:2]} to {redrawn[:2]}")
        count, box = differences(first, redrawn)
        if count:
            raise Failure(f"the editor's first drawing differs from its redrawing in {count} "
                          f"pixels, within {box}")
        desktop.program_running()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("program")
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--wm", choices=["openbox"])
    group.add_argument("--no-wm", action="store_true")
    parser.add_argument("--shots")
    args = parser.parse_args()
    # A terminated test still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        run(args.program, args.wm, args.shots)
    except (Failure, subprocess.TimeoutExpired) as failure:
        print(f"FAIL ({args.wm or 'no window manager'}): {failure}")
        return 1
    print(f"PASS ({args.wm or 'no window manager'})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
