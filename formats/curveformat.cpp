#include "formats/curveformat.h"

#include <algorithm>
#include <array>

namespace {

// Every format once: its extension, and how the export dialog names it.
struct FormatName
{
    CurveFormat format;
    const char *extension;
    const char *description;
};

constexpr std::array<FormatName, 5> formats = {{
    {CurveFormat::Svg, ".svg", "Disegno SVG"},
    {CurveFormat::Png, ".png", "Immagine PNG"},
    {CurveFormat::Csv, ".csv", "Punti della curva CSV"},
    {CurveFormat::Pdf, ".pdf", "Documento PDF in scala reale"},
    {CurveFormat::Dxf, ".dxf", "Disegno DXF in millimetri"},
}};

const FormatName &named(CurveFormat format)
{
    return *std::ranges::find(formats, format, &FormatName::format);
}

} // namespace

std::optional<CurveFormat> curveFormatOf(const QString &fileName)
{
    for (const FormatName &f : formats)
        if (fileName.endsWith(QLatin1StringView(f.extension), Qt::CaseInsensitive))
            return f.format;
    return std::nullopt;
}

QString curveFileName(const QString &fileName, CurveFormat selected)
{
    if (curveFormatOf(fileName))
        return fileName;
    return fileName + QLatin1StringView(named(selected).extension);
}

QStringList curveNameFilters()
{
    QStringList filters;
    for (const FormatName &f : formats)
        filters << QString::fromUtf8(f.description) + QStringLiteral(" (*") +
                       QLatin1StringView(f.extension) + u')';
    return filters;
}

CurveFormat curveFormatOfFilter(const QString &filter)
{
    const auto index = curveNameFilters().indexOf(filter);
    return formats[std::size_t(std::max<qsizetype>(0, index))].format;
}
