"""Reads the offset line of a DXF or SVG export back: offsetcheck.py FILE DISTANCE SIDE.

The curve is the arcs' polylines (DXF layer CURVA, SVG group "archi"), the offset lines those of
the DXF layer MARGINE or the SVG group "margine", all in millimetres. Every offset vertex must lie
at DISTANCE millimetres from the curve within 0.02 mm; on SIDE (left, right, both) of the curve
as it runs from A to E, where the curve's direction is clear; and the offset lines together must
be simple (no loops, no crossings). Prints "ok" with the figures measured, or what is wrong."""
import re
import sys
import xml.etree.ElementTree as ElementTree

import ezdxf
from shapely.geometry import LineString, MultiLineString, Point

path, distance, side = sys.argv[1], float(sys.argv[2]), sys.argv[3]
tolerance = 0.02


def dxf_lines(path):
    doc = ezdxf.readfile(path)
    lines = {"CURVA": [], "MARGINE": []}
    for polyline in doc.modelspace().query("POLYLINE"):
        points = [(v.dxf.location.x, v.dxf.location.y) for v in polyline.vertices]
        lines.setdefault(polyline.dxf.layer, []).append(points)
    layer = doc.layers.get("MARGINE") if doc.layers.has_entry("MARGINE") else None
    return lines["CURVA"], lines["MARGINE"], layer.dxf.color if layer else None


def svg_lines(path):
    svg = "{http://www.w3.org/2000/svg}"
    root = ElementTree.parse(path).getroot()
    millimetres = float(re.fullmatch(r"(.*)mm", root.get("width")).group(1))
    scale = millimetres / float(root.get("viewBox").split()[2])

    def group(name):
        found = root.find(f".//{svg}g[@id='{name}']")
        if found is None:
            return [], None
        return [[tuple(float(v) * scale for v in pair.split(","))
                 for pair in line.get("points").split()]
                for line in found.iter(f"{svg}polyline")], found.get("stroke")

    arcs, _ = group("archi")
    offsets, colour = group("margine")
    return arcs, offsets, colour


arcs, offsets, colour = (dxf_lines if path.lower().endswith(".dxf") else svg_lines)(path)
problems = []
if not offsets:
    problems.append("no offset line")
curve = MultiLineString([a for a in arcs if len(a) > 1])
# Each arc runs the way from A to E, for the side.
ways = [LineString(a) for a in arcs if len(a) > 1]

nearest, farthest = float("inf"), 0.0
sides = {"left": 0, "right": 0}
step = 0.05
for line in offsets:
    for x, y in line:
        vertex = Point(x, y)
        d = curve.distance(vertex)
        nearest, farthest = min(nearest, d), max(farthest, d)
        if abs(d - distance) > tolerance:
            problems.append(f"vertex ({x:.4f}, {y:.4f}) at {d:.4f} mm")
        way = min(ways, key=vertex.distance)
        along = way.project(vertex)
        if along < step or along > way.length - step:
            continue
        at = way.interpolate(along)
        before, after = way.interpolate(along - step), way.interpolate(along + step)
        incoming = (at.x - before.x, at.y - before.y)
        outgoing = (after.x - at.x, after.y - at.y)
        across = (x - at.x, y - at.y)
        # Only where the way runs straight on through the nearest point, and the vertex lies
        # square to it: at a cusp or an end the side is no one's.
        dot = incoming[0] * outgoing[0] + incoming[1] * outgoing[1]
        norms = (incoming[0] ** 2 + incoming[1] ** 2) ** 0.5 * (outgoing[0] ** 2 + outgoing[1] ** 2) ** 0.5
        if norms == 0 or dot < 0.95 * norms:
            continue
        tangent = (incoming[0] + outgoing[0], incoming[1] + outgoing[1])
        cross = tangent[0] * across[1] - tangent[1] * across[0]
        size = (tangent[0] ** 2 + tangent[1] ** 2) ** 0.5 * (across[0] ** 2 + across[1] ** 2) ** 0.5
        if size == 0 or abs(cross) < 0.9 * size:
            continue
        sides["left" if cross > 0 else "right"] += 1

expected = ["left", "right"] if side == "both" else [side]
for name, count in sides.items():
    if (name in expected) != (count > 0):
        problems.append(f"{count} vertices on the {name}")
together = MultiLineString(offsets) if offsets else None
if together is not None and not together.is_simple:
    problems.append("the offset lines are not simple")
count = sum(len(line) for line in offsets)
if problems:
    print("\n".join(problems[:20]))
else:
    print(f"ok: {len(offsets)} lines, {count} vertices, from {nearest:.4f} to {farthest:.4f} mm "
          f"from the curve, {sides['left']} left and {sides['right']} right; colour {colour}")
