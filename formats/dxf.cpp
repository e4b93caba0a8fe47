#include "formats/dxf.h"

#include "editor/curve/offset.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

// Written by hand: R12 entities are a few group-code pairs each, and no DXF library is packaged
// for Debian under a licence that suits the program.

namespace {

// The colour index nearest arcColour(), RGB(128, 0, 0) (it is RGB(127, 0, 0)); 7 is black on a
// white sheet, white on a dark one.
constexpr int darkRedIndex = 14;
constexpr int blackIndex = 7;
// Nearest offsetColour(), RGB(0, 128, 128) (it is RGB(0, 127, 127)).
constexpr int tealIndex = 134;

// Bytes rather than text: a curve at INST 1000 has 360,000 vertices, and the DXF is Latin-1.
class DxfText
{
public:
    // One group: its code on a line of its own, right-aligned to three places, then the value.
    void group(int code, QByteArrayView value)
    {
        // The code lines, made once (every code written here is below 100): formatting one
        // for each of millions of groups took a quarter of the time.
        static const std::array<std::array<char, 6>, 100> codeLines = [] {
            std::array<std::array<char, 6>, 100> lines{};
            for (int i = 0; i < 100; ++i)
                std::snprintf(lines[std::size_t(i)].data(), 6, "%3d\r\n", i);
            return lines;
        }();
        m_bytes.append(codeLines[std::size_t(code)].data(), 5).append(value).append("\r\n", 2);
    }
    void integer(int code, int value) { group(code, QByteArray::number(value)); }
    // Every digit, and the same text as exactNumber (the CSV's numbers).
    void number(int code, double value)
    {
        group(code, QByteArray::number(value, 'g', QLocale::FloatingPointShortest));
    }
    // A point as the codes 10/20/30 (or 11/21/31 with offset 1), z being 0.
    void point(double x, double y, int offset = 0)
    {
        number(10 + offset, x);
        number(20 + offset, y);
        number(30 + offset, 0);
    }

    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

void layer(DxfText &dxf, const char *name, int colour)
{
    dxf.group(0, "LAYER");
    dxf.group(2, name);
    dxf.integer(70, 0);
    dxf.integer(62, colour);
    dxf.group(6, "CONTINUOUS");
}

} // namespace

std::variant<QByteArray, QString> curveDxf(const Curve &curve, double millimetresPerUnit,
                                           std::span<const QPolygonF> offsets)
{
    const double s = millimetresPerUnit;
    // The drawing's extent, for the programs that open it zoomed to fit. Scaling keeps the order
    // of the numbers, so the extent of the scaled points is the scaled extent, and where its
    // corners are finite every scaled point is: a far base point's millimetres may overflow,
    // and a DXF has no number for them.
    const PlaneBounds bounds = planeBounds(curve, offsets).value_or(PlaneBounds{});
    const double left = bounds.left * s, right = bounds.right * s;
    const double bottom = bounds.bottom * s, top = bounds.top * s;
    if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(bottom) ||
        !std::isfinite(top))
        return QStringLiteral("la curva è troppo estesa perché le sue misure in millimetri si "
                              "possano scrivere in un file DXF");

    DxfText dxf;
    dxf.group(0, "SECTION");
    dxf.group(2, "HEADER");
    dxf.group(9, "$ACADVER");
    dxf.group(1, "AC1009");
    dxf.group(9, "$INSUNITS");
    dxf.integer(70, 4); // millimetres
    dxf.group(9, "$MEASUREMENT");
    dxf.integer(70, 1); // metric
    dxf.group(9, "$EXTMIN");
    dxf.point(left, bottom);
    dxf.group(9, "$EXTMAX");
    dxf.point(right, top);
    dxf.group(0, "ENDSEC");

    dxf.group(0, "SECTION");
    dxf.group(2, "TABLES");
    dxf.group(0, "TABLE");
    dxf.group(2, "LTYPE");
    dxf.integer(70, 1);
    dxf.group(0, "LTYPE");
    dxf.group(2, "CONTINUOUS");
    dxf.integer(70, 0);
    dxf.group(3, "Solid line");
    dxf.integer(72, 65);
    dxf.integer(73, 0);
    dxf.number(40, 0);
    dxf.group(0, "ENDTAB");
    dxf.group(0, "TABLE");
    dxf.group(2, "LAYER");
    dxf.integer(70, offsets.empty() ? 3 : 4);
    layer(dxf, "0", blackIndex);
    layer(dxf, "CURVA", darkRedIndex);
    layer(dxf, "CORDE", blackIndex);
    if (!offsets.empty())
        layer(dxf, "MARGINE", tealIndex);
    dxf.group(0, "ENDTAB");
    dxf.group(0, "ENDSEC");

    dxf.group(0, "SECTION");
    dxf.group(2, "ENTITIES");
    for (Segment segment : segments) {
        // Each vertex scaled as the chords' ends are, so that the arcs meet at B, C and D.
        const ArcPath path = arcPath(curve, segment);
        // A polyline needs two vertices; an arc of one is that point.
        if (path.size() == 1) {
            path.forEach([&](QPointF p) {
                dxf.group(0, "POINT");
                dxf.group(8, "CURVA");
                dxf.point(p.x() * s, p.y() * s);
            });
            continue;
        }
        if (path.empty())
            continue;
        dxf.group(0, "POLYLINE");
        dxf.group(8, "CURVA");
        dxf.integer(66, 1); // vertices follow
        dxf.point(0, 0);
        dxf.integer(70, 0); // open, two-dimensional
        path.forEach([&](QPointF p) {
            dxf.group(0, "VERTEX");
            dxf.group(8, "CURVA");
            dxf.point(p.x() * s, p.y() * s);
        });
        dxf.group(0, "SEQEND");
        dxf.group(8, "CURVA");
    }
    for (const QLineF &chord : curve.chords) {
        // A chord's end that is not a number has no place in the drawing (nor on the arc's path).
        if (!std::isfinite(chord.x1()) || !std::isfinite(chord.y1()) ||
            !std::isfinite(chord.x2()) || !std::isfinite(chord.y2()))
            continue;
        dxf.group(0, "LINE");
        dxf.group(8, "CORDE");
        dxf.point(chord.x1() * s, chord.y1() * s);
        dxf.point(chord.x2() * s, chord.y2() * s, 1);
    }
    for (const QPolygonF &line : offsets) {
        dxf.group(0, "POLYLINE");
        dxf.group(8, "MARGINE");
        dxf.integer(66, 1);
        dxf.point(0, 0);
        dxf.integer(70, 0);
        for (QPointF p : line) {
            dxf.group(0, "VERTEX");
            dxf.group(8, "MARGINE");
            dxf.point(p.x() * s, p.y() * s);
        }
        dxf.group(0, "SEQEND");
        dxf.group(8, "MARGINE");
    }
    dxf.group(0, "ENDSEC");
    dxf.group(0, "EOF");
    return dxf.bytes();
}
