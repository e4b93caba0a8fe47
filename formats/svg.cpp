#include "formats/svg.h"

#include "editor/curve/offset.h"
#include "editor/curve/truescale.h"
#include "formats/exactnumber.h"

#include <QRectF>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace {

// What the SVG frames: every chord end and plotted point, and the offset lines, in the editor's
// plane.
QRectF bounds(const Curve &curve, std::span<const QPolygonF> offsets)
{
    const std::optional<PlaneBounds> b = planeBounds(curve, offsets);
    return b ? QRectF(b->left, b->bottom, b->right - b->left, b->top - b->bottom) : QRectF();
}

} // namespace

std::variant<QByteArray, QString> curveSvg(const Curve &curve, double millimetresPerUnit,
                                           std::span<const QPolygonF> offsets)
{
    // The group flips y, so every coordinate in the file is the user's own, y upwards; the
    // viewBox is in the flipped system, hence its top is minus the curve's highest y.
    const QRectF box = bounds(curve, offsets);
    const double margin = std::max({box.width(), box.height(), 20 * curve.pixelWidth}) * 0.05;
    const QRectF view(box.left() - margin, -box.bottom() - margin, box.width() + 2 * margin,
                      box.height() + 2 * margin);
    // Every number is a length in user units and goes through here. A far base point's extent,
    // or its millimetres, may overflow, and "inf" is no SVG number; nor is a number that
    // overflows where a reader takes it into CSS pixels, 96 to the inch (rsvg-convert then finds
    // the drawing without a size).
    constexpr double pixelsPerMillimetre = 96 / 25.4;
    bool readable = true;
    auto check = [&](double units) {
        readable = readable && std::isfinite(units * millimetresPerUnit * pixelsPerMillimetre);
    };
    auto number = [&](double units) {
        check(units);
        return exactNumber(units);
    };

    QByteArray svg;
    QXmlStreamWriter xml(&svg);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    // The true size: the view box's units times the millimetres of one.
    auto millimetres = [&](double units) {
        check(units);
        return exactNumber(units * millimetresPerUnit) + QStringLiteral("mm");
    };
    xml.writeAttribute(QStringLiteral("width"), millimetres(view.width()));
    xml.writeAttribute(QStringLiteral("height"), millimetres(view.height()));
    xml.writeAttribute(
        QStringLiteral("viewBox"),
        QStringLiteral("%1 %2 %3 %4")
            .arg(number(view.x()), number(view.y()), number(view.width()), number(view.height())));
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
        return number(lineMillimetres / millimetresPerUnit);
    };
    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("corde"));
    xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#000000"));
    xml.writeAttribute(QStringLiteral("stroke-width"), strokeWidth(chordLineWidth));
    for (Segment segment : segments) {
        const QLineF &chord = curve.chords[static_cast<std::size_t>(segment)];
        xml.writeEmptyElement(QStringLiteral("line"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("corda-") + segmentName(segment));
        xml.writeAttribute(QStringLiteral("x1"), number(chord.x1()));
        xml.writeAttribute(QStringLiteral("y1"), number(chord.y1()));
        xml.writeAttribute(QStringLiteral("x2"), number(chord.x2()));
        xml.writeAttribute(QStringLiteral("y2"), number(chord.y2()));
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("archi"));
    xml.writeAttribute(QStringLiteral("stroke"), arcColour().name());
    xml.writeAttribute(QStringLiteral("stroke-width"), strokeWidth(arcLineWidth));
    for (Segment segment : segments) {
        QStringList points;
        arcPath(curve, segment).forEach([&](QPointF p) {
            points << number(p.x()) + u',' + number(p.y());
        });
        xml.writeEmptyElement(QStringLiteral("polyline"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("arco-") + segmentName(segment));
        xml.writeAttribute(QStringLiteral("points"), points.join(u' '));
    }
    xml.writeEndElement();

    if (!offsets.empty()) {
        xml.writeStartElement(QStringLiteral("g"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("margine"));
        xml.writeAttribute(QStringLiteral("stroke"), offsetColour().name());
        xml.writeAttribute(QStringLiteral("stroke-width"), strokeWidth(offsetLineWidth));
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            QStringList points;
            for (QPointF p : offsets[i])
                points << number(p.x()) + u',' + number(p.y());
            xml.writeEmptyElement(QStringLiteral("polyline"));
            xml.writeAttribute(QStringLiteral("id"), QStringLiteral("margine-%1").arg(i + 1));
            xml.writeAttribute(QStringLiteral("points"), points.join(u' '));
        }
        xml.writeEndElement();
    }

    xml.writeEndElement(); // g
    xml.writeEndElement(); // svg
    xml.writeEndDocument();
    if (!readable)
        return QStringLiteral("la curva è troppo estesa perché le sue misure si possano scrivere "
                              "in un file SVG");
    return svg;
}
