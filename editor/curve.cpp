#include "editor/curve.h"

#include "common/numbers.h"
#include "draw/canvas.h"

#include <QLocale>
#include <QRectF>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace {

// Shortest text that reads back as the same double, in the C locale.
QString exact(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString arcColour()
{
    return Canvas::QBColor(4).name();
}

// What the SVG frames: every chord end and plotted point, in the editor's plane.
QRectF bounds(const Curve &curve)
{
    double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
    auto take = [&](QPointF p) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return;
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    };
    for (const QLineF &chord : curve.chords) {
        take(chord.p1());
        take(chord.p2());
    }
    for (const auto &arc : curve.arcs)
        for (const ArcPoint &p : arc)
            take(p.point);
    if (left > right)
        return QRectF(0, 0, 0, 0);
    return QRectF(left, bottom, right - left, top - bottom);
}

} // namespace

Curve makeCurve(const BasePoints &points, const SegmentTable &table,
                std::array<std::vector<ArcPoint>, 4> arcs, const ArcFrame &frame, double Incr,
                double pixelWidth, double pixelHeight)
{
    Curve curve;
    curve.points = points;
    curve.Incr = Incr;
    curve.INST = frame.INST;
    curve.origin = QPointF(frame.CX, frame.CY);
    curve.pixelWidth = pixelWidth;
    curve.pixelHeight = pixelHeight;
    curve.arcs = std::move(arcs);
    for (Segment segment : segments) {
        const auto index = static_cast<std::size_t>(segment);
        const auto [from, to] = chordEnds(segment);
        curve.rows[index] = table.row(segment);
        curve.chords[index] = QLineF(points.X[from].toDouble(), points.Y[from].toDouble(),
                                     points.X[to].toDouble(), points.Y[to].toDouble());
    }
    return curve;
}

QString segmentName(Segment segment)
{
    static const char *const names[] = {"AB", "BC", "CD", "DE"};
    return QString::fromLatin1(names[static_cast<std::size_t>(segment)]);
}

QString parametersText(const Curve &curve)
{
    const QChar tab = u'\t';
    QString text;
    for (std::size_t i = 0; i < curve.points.X.size(); ++i)
        text += QString(QChar(static_cast<char16_t>(u'A' + i))) + tab +
                formatNumber(curve.points.X[i].toDouble()) + tab +
                formatNumber(curve.points.Y[i].toDouble()) + u'\n';
    text += QStringLiteral("Incr") + tab + formatNumber(curve.Incr) + u'\n';
    text += QStringLiteral("INST") + tab + formatNumber(curve.INST) + u'\n';
    text += QStringLiteral("Segmento\tSP.V\tSP.O\tALF.V\tALF.O\n");
    for (Segment segment : segments) {
        const GridRow row = gridRow(curve.rows[static_cast<std::size_t>(segment)]);
        text += segmentName(segment) + tab + row.SPV + tab + row.SPO + tab + row.ALFV + tab +
                row.ALFO + u'\n';
    }
    return text;
}

QByteArray curveCsv(const Curve &curve)
{
    QString text = QStringLiteral("segmento,angolo,x,y\n");
    for (Segment segment : segments) {
        const QString name = segmentName(segment);
        for (const ArcPoint &p : curve.arcs[static_cast<std::size_t>(segment)])
            text += name + u',' + exact(p.theta) + u',' + exact(p.point.x()) + u',' +
                    exact(p.point.y()) + u'\n';
    }
    return text.toUtf8();
}

QByteArray curveSvg(const Curve &curve)
{
    // The group flips y, so every coordinate in the file is the user's own, y upwards; the
    // viewBox is in the flipped system, hence its top is minus the curve's highest y.
    const QRectF box = bounds(curve);
    const double margin = std::max({box.width(), box.height(), 20 * curve.pixelWidth}) * 0.05;
    const QRectF view(box.left() - margin, -box.bottom() - margin, box.width() + 2 * margin,
                      box.height() + 2 * margin);
    auto number = [](double value) { return QString::number(value, 'g', 6); };

    QByteArray svg;
    QXmlStreamWriter xml(&svg);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    // About the size the drawing shows it at across.
    xml.writeAttribute(QStringLiteral("width"), number(view.width() / curve.pixelWidth));
    xml.writeAttribute(QStringLiteral("height"), number(view.height() / curve.pixelWidth));
    xml.writeAttribute(
        QStringLiteral("viewBox"),
        QStringLiteral("%1 %2 %3 %4")
            .arg(exact(view.x()), exact(view.y()), exact(view.width()), exact(view.height())));
    xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Cinquepunti: curva"));
    xml.writeComment(QStringLiteral(" Coordinate dell'editor in unita' utente, y verso l'alto: "
                                    "il gruppo capovolge l'asse y. "));
    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("transform"), QStringLiteral("scale(1,-1)"));
    xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    xml.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("round"));
    xml.writeAttribute(QStringLiteral("stroke-linejoin"), QStringLiteral("round"));

    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("corde"));
    xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#000000"));
    xml.writeAttribute(QStringLiteral("stroke-width"), number(curve.pixelWidth));
    for (Segment segment : segments) {
        const QLineF &chord = curve.chords[static_cast<std::size_t>(segment)];
        xml.writeEmptyElement(QStringLiteral("line"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("corda-") + segmentName(segment));
        xml.writeAttribute(QStringLiteral("x1"), exact(chord.x1()));
        xml.writeAttribute(QStringLiteral("y1"), exact(chord.y1()));
        xml.writeAttribute(QStringLiteral("x2"), exact(chord.x2()));
        xml.writeAttribute(QStringLiteral("y2"), exact(chord.y2()));
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("archi"));
    xml.writeAttribute(QStringLiteral("stroke"), arcColour());
    xml.writeAttribute(QStringLiteral("stroke-width"), number(2 * curve.pixelWidth));
    for (Segment segment : segments) {
        QStringList points;
        for (const ArcPoint &p : curve.arcs[static_cast<std::size_t>(segment)])
            points << exact(p.point.x()) + u',' + exact(p.point.y());
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

namespace {

constexpr std::pair<CurveFormat, const char *> extensions[] = {
    {CurveFormat::Svg, ".svg"}, {CurveFormat::Png, ".png"}, {CurveFormat::Csv, ".csv"}};

} // namespace

std::optional<CurveFormat> curveFormatOf(const QString &fileName)
{
    for (const auto &[format, extension] : extensions)
        if (fileName.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return format;
    return std::nullopt;
}

QString curveFileName(const QString &fileName, CurveFormat selected)
{
    if (curveFormatOf(fileName))
        return fileName;
    for (const auto &[format, extension] : extensions)
        if (format == selected)
            return fileName + QLatin1String(extension);
    return fileName;
}
