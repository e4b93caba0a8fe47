#include "app/numberspinbox.h"

#include "common/numbers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>

namespace app {

namespace {

std::optional<double> readNumber(const QString &text)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    return parseNumber(text, locale);
}

// A character some locale writes in a number: a text of these alone stays in the box while it
// is typed, so that a refused "2.5" shows as typed rather than as a silent "25".
bool mayBeInANumber(QChar c)
{
    return c.isDigit() || QStringView(u".,eE+- ").contains(c);
}

} // namespace

NumberSpinBox::NumberSpinBox(QWidget *parent) : QDoubleSpinBox(parent)
{
    // Enough for any value typed in the general number format: setValue rounds to these.
    setDecimals(12);
    // The value changes when the text is taken, not at each key: a text on its way to a
    // refusal ("2.5" passes through 2) leaves the value as it was.
    setKeyboardTracking(false);
}

QString NumberSpinBox::numberPart(const QString &text) const
{
    QStringView number(text);
    if (number.startsWith(prefix()))
        number = number.mid(prefix().size());
    if (number.endsWith(suffix()))
        number.chop(suffix().size());
    return number.trimmed().toString();
}

QValidator::State NumberSpinBox::validate(QString &text, int &) const
{
    const QString number = numberPart(text);
    if (const std::optional<double> value = readNumber(number))
        return *value >= minimum() && *value <= maximum() ? QValidator::Acceptable
                                                          : QValidator::Intermediate;
    return std::all_of(number.cbegin(), number.cend(), mayBeInANumber) ? QValidator::Intermediate
                                                                       : QValidator::Invalid;
}

double NumberSpinBox::valueFromText(const QString &text) const
{
    return readNumber(numberPart(text)).value_or(value());
}

QString NumberSpinBox::textFromValue(double value) const
{
    return formatNumber(value);
}

bool NumberSpinBox::holdsNumber() const
{
    QString text = lineEdit()->displayText();
    int position = 0;
    return validate(text, position) == QValidator::Acceptable;
}

bool NumberSpinBox::takeText()
{
    if (holdsNumber()) {
        interpretText();
        return true;
    }
    lineEdit()->setText(prefix() + textFromValue(value()) + suffix());
    selectAll();
    return false;
}

void NumberSpinBox::keyPressEvent(QKeyEvent *event)
{
    // Enter on a text that is no number would accept the dialog with the old value unseen.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !takeText()) {
        event->accept();
        return;
    }
    QDoubleSpinBox::keyPressEvent(event);
}

} // namespace app
