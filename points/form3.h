#pragma once

#include "common/variant.h"

#include <QWidget>

class QPushButton;

// The base-points window: the five points A to E and the preview of their chords.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);

    // The base points as of the last "===>>": empty before it.
    Variant X1() const { return m_X[0]; }
    Variant X2() const { return m_X[1]; }
    Variant X3() const { return m_X[2]; }
    Variant X4() const { return m_X[3]; }
    Variant X5() const { return m_X[4]; }
    Variant Y1() const { return m_Y[0]; }
    Variant Y2() const { return m_Y[1]; }
    Variant Y3() const { return m_Y[2]; }
    Variant Y4() const { return m_Y[3]; }
    Variant Y5() const { return m_Y[4]; }

    void Form_Activate() {}
    void Command1_Click();
    void Command2_Click();

private:
    QPushButton *Command1;
    QPushButton *Command2;
    Variant m_X[5];
    Variant m_Y[5];
};
