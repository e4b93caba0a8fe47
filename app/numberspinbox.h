#pragma once

#include <QDoubleSpinBox>

namespace app {

// A spin box that reads and shows numbers as the program's text boxes do, in the user's
// locale: the general number format ("1 mm", "2,5 mm"), and a typed text taken only when the
// locale reads the whole of it as a number, never with digit grouping. So under Italian
// settings "2,5" is 2.5, and "2.5" or "1.000" is refused, never read as 25 or 1000: Enter then
// puts the box back to its value, selected, instead of passing the key on.
class NumberSpinBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit NumberSpinBox(QWidget *parent = nullptr);

    // Whether the text shown is a number within the range.
    bool holdsNumber() const;
    // Puts the box back to its value, selected, when it holds no number; false then.
    bool takeText();

    QValidator::State validate(QString &text, int &position) const override;
    double valueFromText(const QString &text) const override;
    QString textFromValue(double value) const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The number part of a shown text, without the prefix, the suffix and the blanks around.
    QString numberPart(const QString &text) const;
};

} // namespace app
