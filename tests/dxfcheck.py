"""Reads a DXF export back with ezdxf: dxfcheck.py DXF CSV SCALE X1 Y1 X2 Y2 (x 4 chords).

The CSV export of the same curve gives the plotted points; every arc's vertices must be those
points times the scale, exactly, and every chord its base points times the scale. Prints "ok", or
what is wrong."""
import csv
import sys

import ezdxf

dxf, points, scale = sys.argv[1], sys.argv[2], float(sys.argv[3])
chords = [tuple(float(v) * scale for v in sys.argv[i:i + 4]) for i in range(4, 20, 4)]

doc = ezdxf.readfile(dxf)
problems = []
auditor = doc.audit()
if auditor.has_errors or auditor.has_fixes:
    problems.append(f"audit: {[e.message for e in auditor.errors + auditor.fixes]}")
if doc.dxfversion != "AC1009" or doc.header.get("$INSUNITS") != 4:
    problems.append(f"header: {doc.dxfversion}, units {doc.header.get('$INSUNITS')}")

arcs = {}
with open(points, newline="") as f:
    for row in csv.DictReader(f):
        arcs.setdefault(row["segmento"], []).append(
            (float(row["x"]) * scale, float(row["y"]) * scale))
msp = doc.modelspace()
polylines = list(msp.query("POLYLINE"))
if [p.dxf.layer for p in polylines] != ["CURVA"] * len(arcs):
    problems.append(f"polylines: {[p.dxf.layer for p in polylines]}")
for polyline, (name, expected) in zip(polylines, arcs.items()):
    vertices = [(v.dxf.location.x, v.dxf.location.y) for v in polyline.vertices]
    if vertices != expected:
        problems.append(f"arc {name}: {len(vertices)} vertices, {len(expected)} points")
lines = [(l.dxf.layer, l.dxf.start.x, l.dxf.start.y, l.dxf.end.x, l.dxf.end.y)
         for l in msp.query("LINE")]
if lines != [("CORDE",) + c for c in chords]:
    problems.append(f"chords: {lines}")
print("\n".join(problems) or "ok")
