#pragma once

#include "formats/truescale.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

// "Scala reale": the millimetres of one unit, the paper and the sheets' overlap.
class TrueScaleDialog : public QDialog
{
    Q_OBJECT

public:
    TrueScaleDialog(const TrueScale &scale, QWidget *parent);

    // The values as the dialog shows them, a number being typed included.
    TrueScale trueScale() const;

private:
    QDoubleSpinBox *m_millimetres;
    QComboBox *m_paper;
    QDoubleSpinBox *m_overlap;
};
