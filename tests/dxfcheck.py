"""Reads a DXF export back with ezdxf: dxfcheck.py DXF CSV SCALE X1 Y1 X2 Y2 (x 4 chords).

The CSV export of the same curve gives the plotted points; every arc's vertices must be its
chord's first point, those points and its chord's second point, times the scale, exactly (so that
each arc ends on the vertex the next one starts on), and every chord its base points times the
scale. Prints "ok", or what is wrong."""
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
paths = [[(v.dxf.location.x, v.dxf.location.y) for v in p.vertices] for p in polylines]
for path, (name, plotted), chord in zip(paths, arcs.items(), chords):
    if path[1:-1] != plotted:
        problems.append(f"arc {name}: {len(path)} vertices, {len(plotted)} points between the ends")
    if path[0] != chord[0:2] or path[-1] != chord[2:4]:
        problems.append(f"arc {name}: from {path[0]} to {path[-1]}, its chord {chord}")
for before, after in zip(paths, paths[1:]):
    if before[-1] != after[0]:
        problems.append(f"a join: {before[-1]} and {after[0]}")
lines = [(l.dxf.layer, l.dxf.start.x, l.dxf.start.y, l.dxf.end.x, l.dxf.end.y)
         for l in msp.query("LINE")]
if lines != [("CORDE",) + c for c in chords]:
    problems.append(f"chords: {lines}")
print("\n".join(problems) or "ok")
