#include "formats/pdf.h"

#include "formats/pages.h"

#include <QBuffer>
#include <QPdfWriter>

std::variant<QByteArray, QString> curvePdf(const Curve &curve, const TrueScale &scale)
{
    std::variant<CurvePages, QString> pages = layOutPages(curve, scale, QPageSize(scale.paper));
    if (const QString *reason = std::get_if<QString>(&pages))
        return *reason;
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(QStringLiteral("Cinquepunti: curva"));
    writer.setCreator(QStringLiteral("Cinquepunti"));
    if (!paintPages(writer, std::get<CurvePages>(pages)))
        return QStringLiteral("il documento PDF non si è potuto comporre");
    return pdf;
}
