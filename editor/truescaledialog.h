#pragma once

#include "editor/curve/truescale.h"

#include <QDialog>

class QComboBox;

namespace app {
class NumberSpinBox;
}

// "Scala reale": the millimetres of one unit, the paper, the sheets' overlap and the offset line.
class TrueScaleDialog : public QDialog
{
    Q_OBJECT

public:
    TrueScaleDialog(const TrueScale &scale, QWidget *parent);

    // The values as the dialog shows them, a number being typed included.
    TrueScale trueScale() const;

    // Refused while a box holds a text that is no number: that box shows its value again.
    void accept() override;

private:
    app::NumberSpinBox *m_millimetres;
    QComboBox *m_paper;
    app::NumberSpinBox *m_overlap;
    app::NumberSpinBox *m_offset;
    QComboBox *m_offsetSide;
};
