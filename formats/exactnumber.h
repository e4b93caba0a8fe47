#pragma once

#include <QLocale>
#include <QString>

// Shortest text that reads back as the same double, in the C locale: the numbers of the
// curve's files.
inline QString exactNumber(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
