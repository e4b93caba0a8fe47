#!/usr/bin/env python3
"""Live bending as the hand feels it: the editor at INST 1000 (build-bench/bench/
cinquepunti_livebending) under Xvfb with openbox, the thumb of its vertical bar dragged at one
move every 16 ms for two seconds. Prints how many new drawings reached the screen in that time,
and the median and quartiles of the time from each move to the first update of the window that
shows it, against the budgets: at least 60 drawings a second (every move reaches the screen)
and a median under 16 ms; with --show (the joins panel, the curvature comb), the median may
take 1 ms more.

    scripts/livebending.py [--display :98] [--seconds 2] [--show joins,comb,offset]

A move's time is the X server's (monotonic milliseconds); the editor's times are on the same
clock. Needs Xvfb, openbox and xdotool (and so the X test extension's library), and the tool
built by scripts/bench.sh.
"""

import argparse
import ctypes
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOL = os.path.join(ROOT, "build-bench", "bench", "cinquepunti_livebending")
FRAME = 0.016
# Every move on the screen within a frame: the drawings a second and the median move to repaint.
RATE_BUDGET = 60
MEDIAN_BUDGET_MS = 16
# What showing the joins panel and the comb may add to the median.
OVERLAY_ALLOWANCE_MS = 1


def start(processes, command, env, **kwargs):
    process = subprocess.Popen(command, env=env, **kwargs)
    processes.append(process)
    return process


def xdotool(env, *args):
    subprocess.run(["xdotool", *args], env=env, check=True)


def paced_drag(display_name, x, y, step, moves):
    """The drag's moves, one every FRAME on the clock, through the X server's test extension
    (as xdotool sends them), from this process: a sleep between xdotool's moves adds the time
    each move takes to send, and its pace falls to one every 17 to 21 ms."""
    x11 = ctypes.CDLL("libX11.so.6")
    xtst = ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                          ctypes.c_int, ctypes.c_ulong]
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        sys.exit(f"cannot open the display {display_name}")
    try:
        start = time.monotonic()
        for move in range(1, moves + 1):
            delay = start + move * FRAME - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            xtst.XTestFakeMotionEvent(display, -1, x + move * step, y, 0)
            x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


def linear_fit(xs, ys):
    """Slope and intercept of the least-squares line through the points."""
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    slope = sum((a - mx) * (b - my) for a, b in zip(xs, ys)) / sum((a - mx) ** 2 for a in xs)
    return slope, my - slope * mx


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--display", default=":98")
    parser.add_argument("--seconds", type=float, default=2.0)
    parser.add_argument("--show", default="",
                        help="what to show over the drawing, comma-separated: joins, comb")
    options = parser.parse_args()
    # Settings of its own: the joins panel and the comb are remembered across runs.
    home = tempfile.TemporaryDirectory()
    env = dict(os.environ, DISPLAY=options.display, QT_QPA_PLATFORM="xcb",
               XDG_CONFIG_HOME=os.path.join(home.name, "config"),
               XDG_DATA_HOME=os.path.join(home.name, "data"))
    processes = []
    try:
        start(processes, ["Xvfb", options.display, "-screen", "0", "1920x1080x24", "-nolisten",
                          "tcp"], env, stderr=subprocess.DEVNULL)
        time.sleep(1)
        start(processes, ["openbox"], env, stderr=subprocess.DEVNULL)
        time.sleep(1)
        command = [TOOL] + (["--show", options.show] if options.show else [])
        tool = start(processes, command, env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                     text=True)
        fields = tool.stdout.readline().split()
        if not fields or fields[0] != "thumb":
            sys.exit("the editor did not report its thumb")
        x, y, room = (int(v) for v in fields[1:4])
        moves = int(options.seconds / FRAME)
        step = max(1, room // moves)
        xdotool(env, "mousemove", str(x), str(y))
        xdotool(env, "mousedown", "1")
        time.sleep(0.3)
        paced_drag(options.display, x, y, step, moves)
        xdotool(env, "mouseup", "1")
        output, _ = tool.communicate(timeout=20)
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()

    delivered = {}  # move number: the X server's time of it, for the moves the bar received
    lag = []  # from the X server's time of a move to its arrival in the editor
    shown = []  # (time, x of the last move the drawing took in)
    redraws = 0
    handled = []  # from a move's arrival to the end of the redraw it caused
    received = None
    for line in output.splitlines():
        fields = line.split()
        if fields[0] == "move":
            move = round((float(fields[2]) - x) / step)
            if 1 <= move <= moves:
                delivered[move] = float(fields[3])
                lag.append(float(fields[1]) - float(fields[3]))
            received = float(fields[1])
        elif fields[0] == "shown":
            shown.append((float(fields[1]), float(fields[2])))
        elif fields[0] == "redraw":
            redraws += 1
            if received is not None:
                handled.append(float(fields[1]) - received)
                received = None
    if len(delivered) < 2:
        sys.exit("too few moves reached the editor to measure")
    # Moves the window system merged into a later one never reach the editor, but xdotool
    # sends them at a steady pace: each move's time comes from a straight line through the
    # times of those that arrived.
    slope, intercept = linear_fit(list(delivered), list(delivered.values()))
    sent = [(intercept + slope * move, x + move * step) for move in range(1, moves + 1)]
    first, last = sent[0][0], sent[-1][0]
    within = [t for t, _ in shown if first <= t <= last + FRAME * 1000]
    latencies = []
    for t, target in sent:
        later = [s for s, moved in shown if moved >= target and s >= t]
        if later:
            latencies.append(min(later) - t)
    quartiles = statistics.quantiles(latencies, n=4)
    seconds = (last - first) / 1000 + FRAME
    print(f"{moves} moves of {step} px, one every {slope:.2f} ms; {len(delivered)} reached the "
          f"bar (median {statistics.median(lag):.1f} ms after the X server's time); "
          f"{redraws} redraws, median {statistics.median(handled):.1f} ms from a move's "
          "arrival to the redraw's end")
    print(f"new drawings on the screen: {len(within)} in {seconds:.2f} s "
          f"({len(within) / seconds:.1f} a second)")
    print(f"move to repaint: median {quartiles[1]:.1f} ms (quartiles {quartiles[0]:.1f} to "
          f"{quartiles[2]:.1f}) over {len(latencies)} moves")
    rate = len(within) / seconds
    median_budget = MEDIAN_BUDGET_MS + (OVERLAY_ALLOWANCE_MS if options.show else 0)
    kept = rate >= RATE_BUDGET and quartiles[1] < median_budget
    shown_over = f", with {options.show} shown" if options.show else ""
    print(f"budget{shown_over}: at least {RATE_BUDGET} drawings a second and a median under "
          f"{median_budget:g} ms: {'kept' if kept else 'NOT KEPT'}")
    print(f"load average: {' '.join(f'{v:.2f}' for v in os.getloadavg())}")


if __name__ == "__main__":
    main()
