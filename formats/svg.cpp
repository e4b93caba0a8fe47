#include "formats/svg.h"

#include "draw/canvas.h"
#include "formats/exactnumber.h"
#include "formats/truescale.h"

#include <QRectF>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace {

QString arcColour()
{
    return Canvas::QBColor(4).name();
}

// What the SVG frames: every chord end and plotted point, in the editor's plane.
QRectF bounds(const Curve &curve)
{
    const std::optional<PlaneBounds> b = planeBounds(curve);
    return b ? QRectF(b->left, b->bottom, b->right - b->left, b->top - b->bottom) : QRectF();
}

} // namespace

QByteArray curveSvg(const Curve &curve, double millimetresPerUnit)
{
    // The group flips y, so every coordinate in the file is the user's own, y upwards; the
    // viewBox is in the flipped system, hence its top is minus the curve's highest y.
    const QRectF box = bounds(curve);
    const double margin = std::max({box.width(), box.height(), 20 * curve.pixelWidth}) * 0.05;
    const QRectF view(box.left() - margin, -box.bottom() - margin, box.width() + 2 * margin,
                      box.height() + 2 * margin);

    QByteArray svg;
    QXmlStreamWriter xml(&svg);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    // The true size: the view box's units times the millimetres of one.
    auto millimetres = [&](double units) {
        return exactNumber(units * millimetresPerUnit) + QStringLiteral("mm");
    };
    xml.writeAttribute(QStringLiteral("width"), millimetres(view.width()));
    xml.writeAttribute(QStringLiteral("height"), millimetres(view.height()));
    xml.writeAttribute(QStringLiteral("viewBox"),
                       QStringLiteral("%1 %2 %3 %4")
                           .arg(exactNumber(view.x()), exactNumber(view.y()),
                                exactNumber(view.width()), exactNumber(view.height())));
    xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Cinquepunti: curva"));
    xml.writeComment(QStringLiteral(" Coordinate dell'editor in unita' utente, y verso l'alto: "
                                    "il gruppo capovolge l'asse y. "));
    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("transform"), QStringLiteral("scale(1,-1)"));
    xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    xml.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("round"));
    xml.writeAttribute(QStringLiteral("stroke-linejoin"), QStringLiteral("round"));

    // The widths in user units, which measure millimetresPerUnit each.
    auto strokeWidth = [&](double lineMillimetres) {
        return exactNumber(lineMillimetres / millimetresPerUnit);
    };
    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("corde"));
    xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#000000"));
    xml.writeAttribute(QStringLiteral("stroke-width"), strokeWidth(chordLineWidth));
    for (Segment segment : segments) {
        const QLineF &chord = curve.chords[static_cast<std::size_t>(segment)];
        xml.writeEmptyElement(QStringLiteral("line"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("corda-") + segmentName(segment));
        xml.writeAttribute(QStringLiteral("x1"), exactNumber(chord.x1()));
        xml.writeAttribute(QStringLiteral("y1"), exactNumber(chord.y1()));
        xml.writeAttribute(QStringLiteral("x2"), exactNumber(chord.x2()));
        xml.writeAttribute(QStringLiteral("y2"), exactNumber(chord.y2()));
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("archi"));
    xml.writeAttribute(QStringLiteral("stroke"), arcColour());
    xml.writeAttribute(QStringLiteral("stroke-width"), strokeWidth(arcLineWidth));
    for (Segment segment : segments) {
        QStringList points;
        arcPath(curve, segment).forEach([&](QPointF p) {
            points << exactNumber(p.x()) + u',' + exactNumber(p.y());
        });
        xml.writeEmptyElement(QStringLiteral("polyline"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("arco-") + segmentName(segment));
        xml.writeAttribute(QStringLiteral("points"), points.join(u' '));
    }
    xml.writeEndElement();

    xml.writeEndElement(); // g
    xml.writeEndElement(); // svg
    xml.writeEndDocument();
    return svg;
}
