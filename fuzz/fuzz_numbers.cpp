#include "fuzzinput.h"

#include "common/numbers.h"

#include <QLocale>
#include <QString>

#include <cmath>

// Number entry and number text under Italian and English settings: a typed text is either
// refused or gives a finite value, and the text written for that value reads back as it.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::array<QLocale, 2> locales = {
        QLocale(QLocale::Italian, QLocale::Italy),
        QLocale(QLocale::English, QLocale::UnitedStates)};
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QLocale &locale : locales) {
        const std::optional<double> value = parseNumber(text, locale);
        if (!value)
            continue;
        if (!std::isfinite(*value))
            fuzzFailure("a number entry gave a value that is not finite");
        const QString written = formatNumber(*value, locale);
        const std::optional<double> back = parseNumber(written, locale);
        if (!back) {
            std::fprintf(stderr, "%s: \"%s\" gave %.17g, written \"%s\"\n",
                         qPrintable(locale.name()), qPrintable(text), *value, qPrintable(written));
            fuzzFailure("the number text of an entered value is not a number");
        }
        if (!(std::abs(*back - *value) <= 1e-14 * std::abs(*value))) {
            std::fprintf(stderr, "%s: %.17g written \"%s\" reads back as %.17g\n",
                         qPrintable(locale.name()), *value, qPrintable(written), *back);
            fuzzFailure("the number text does not read back as the value");
        }
    }
    return 0;
}
