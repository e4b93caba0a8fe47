#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// Number entry and number text, in the user's locale. Widget-free.

// The value of a typed text when the locale's conversion accepts the whole of it (blanks
// around allowed); nothing otherwise. Texts without any digit ("inf", "nan") and values that
// do not fit a double ("1e400") are not numbers, so a text that passes always converts to a
// finite double.
std::optional<double> parseNumber(const QString &text, const QLocale &locale = QLocale());

// The general number format: shortest form with at most 15 significant digits, no digit
// grouping, the locale's decimal separator, whole numbers without a decimal part.
QString formatNumber(double value, const QLocale &locale = QLocale());
