#include "formats/curveformat.h"

#include <utility>

namespace {

constexpr std::pair<CurveFormat, const char *> extensions[] = {
    {CurveFormat::Svg, ".svg"}, {CurveFormat::Png, ".png"}, {CurveFormat::Csv, ".csv"},
    {CurveFormat::Pdf, ".pdf"}, {CurveFormat::Dxf, ".dxf"}};

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
