#include "formats/csv.h"

#include "formats/exactnumber.h"

QByteArray curveCsv(const Curve &curve)
{
    QString text = QStringLiteral("segmento,angolo,x,y\n");
    for (Segment segment : segments) {
        const QString name = segmentName(segment);
        for (const ArcPoint &p : curve.arcs[static_cast<std::size_t>(segment)])
            text += name + u',' + exactNumber(p.theta) + u',' + exactNumber(p.point.x()) + u',' +
                    exactNumber(p.point.y()) + u'\n';
    }
    return text.toUtf8();
}
