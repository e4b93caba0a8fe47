"""Reads the equations copied for GeoGebra or Desmos and evaluates them on their own:
equationcheck.py geogebra|desmos TEXT CSV X1 Y1 ... X5 Y5.

TEXT holds the copied lines: one per arc, AB to DE, then the points A to E. Each arc is read in
the target's syntax (GeoGebra: Curve(x, y, t, 0, pi/2) with *, ^, sin, cos, pi; Desmos: its LaTeX
ordered pair over 0 <= t <= 1), its numbers plain decimals with points, and evaluated at the angle
of every point the editor plotted (the CSV export: segment, angle in degrees, x, y) and at both
ends; each must fall within 1e-6 of its chord's length of that point, of the chord's ends. The
points must be the base points given. Prints "ok" with the largest error, or what is wrong."""
import csv
import math
import re
import struct
import sys

target, text_file, csv_file = sys.argv[1:4]
base = [(float(sys.argv[4 + 2 * i]), float(sys.argv[5 + 2 * i])) for i in range(5)]
names = ["AB", "BC", "CD", "DE"]
# The editor's degrees to radians, 3.1415927 / 180 in single precision.
P1 = struct.unpack("f", struct.pack("f", struct.unpack("f", struct.pack("f", 3.1415927))[0] / 180))[0]
number = r"-?\d+(?:\.\d+)?"

with open(text_file, encoding="utf-8") as f:
    lines = f.read().split("\n")
problems = []
if lines[-1] != "" or len(lines) != 10:
    problems.append(f"{len(lines)} lines, not nine ended each")
lines = lines[:9] + [""] * max(0, 9 - len(lines))


def split_pair(inner):
    """The two halves of "x, y" at the comma outside every bracket."""
    depth = 0
    for i, c in enumerate(inner):
        depth += c == "("
        depth -= c == ")"
        if c == "," and depth == 0:
            return inner[:i], inner[i + 1:]
    return None


def geogebra(line):
    match = re.fullmatch(r"Curve\((.*), t, 0, pi/2\)", line)
    if not match:
        return None
    expression = match.group(1).replace("^", "**")
    return expression, lambda t: t


def desmos(line):
    match = re.fullmatch(r"\\left\((.*)\\right\)", line)
    if not match:
        return None
    expression = match.group(1)
    for latex, python in [(r"\sin^{2}\left(", "sin2("), (r"\left(", "("), (r"\right)", ")"),
                          (r"\cdot ", "*"), (r"\frac{\pi}{2}t", "(pi/2*t)"), (r"\sin", "sin"),
                          (r"\cos", "cos")]:
        expression = expression.replace(latex, python)
    # Desmos's t runs from 0 to 1 over the quarter turn.
    return expression, lambda angle: angle / (math.pi / 2)


read = geogebra if target == "geogebra" else desmos
functions = {"sin": math.sin, "cos": math.cos, "sin2": lambda u: math.sin(u) ** 2, "pi": math.pi}
arcs = []
for name, line in zip(names, lines[:4]):
    parsed = read(line)
    pair = parsed and split_pair(parsed[0])
    leftover = pair and re.sub(r"sin2|sin|cos|pi|t|" + number + r"|[-+*/() ]", "", parsed[0])
    if not pair or leftover not in ("", ","):
        problems.append(f"arc {name} not read: {line}")
        arcs.append(None)
        continue
    if re.search(r"\d[eE]|\d,\d", line):
        problems.append(f"arc {name}: a number in exponent notation or with a comma: {line}")
    code = [compile(half.strip(), name, "eval") for half in pair]
    arcs.append((code, parsed[1]))

for i, line in enumerate(lines[4:9]):
    letter = "ABCDE"[i]
    pattern = (rf"{letter} = \(({number}), ({number})\)" if target == "geogebra"
               else rf"{letter}=\\left\(({number}),({number})\\right\)")
    match = re.fullmatch(pattern, line)
    if not match or (float(match.group(1)), float(match.group(2))) != base[i]:
        problems.append(f"point {letter}: {line}")


def evaluate(arc, angle):
    code, parameter = arc
    scope = dict(functions, t=parameter(angle), __builtins__={})
    return eval(code[0], scope), eval(code[1], scope)


plotted = {name: [] for name in names}
with open(csv_file, newline="") as f:
    for row in csv.DictReader(f):
        plotted[row["segmento"]].append((float(row["angolo"]), float(row["x"]), float(row["y"])))

worst = 0.0
for i, (name, arc) in enumerate(zip(names, arcs)):
    if arc is None:
        continue
    (x1, y1), (x2, y2) = base[i], base[i + 1]
    chord = math.hypot(x2 - x1, y2 - y1)
    expected = [(P1 * theta, x, y) for theta, x, y in plotted[name]]
    expected += [(0.0, x1, y1), (math.pi / 2, x2, y2)]
    for angle, x, y in expected:
        px, py = evaluate(arc, angle)
        error = math.hypot(px - x, py - y) / chord
        worst = max(worst, error)
        if error > 1e-6:
            problems.append(f"arc {name} at {angle}: ({px}, {py}), not ({x}, {y})")
            break
print("\n".join(problems[:20]) if problems else f"ok: within {worst:.2g} of each chord's length")
