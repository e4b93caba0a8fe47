#include "common/numbers.h"

#include <algorithm>
#include <cmath>

std::optional<double> parseNumber(const QString &text, const QLocale &locale)
{
    // The locale conversion also takes "inf" and "nan", which hold no digit at all.
    const bool hasDigit =
        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
    if (!hasDigit)
        return std::nullopt;
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatNumber(double value, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    if (value == 0)
        value = 0; // -0 reads as 0
    // Rounded to 15 digits, the largest doubles would read back as beyond the double range.
    constexpr double largestIn15Digits = 1.79769313486231e308;
    if (std::abs(value) > largestIn15Digits)
        value = std::copysign(largestIn15Digits, value);
    return plain.toString(value, 'g', 15);
}
