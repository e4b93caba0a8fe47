#pragma once

#include "draw/surface.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The calibration window: a circle in user units that the user stretches with the scroll bar
// until it looks round; the ratio found, Incr, sets the height scale of the later drawings.
class Form2 : public DrawingSurface
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    // Height scale over width scale of a drawing area.
    double Incr() const { return m_Incr; }

    void Form_Activate();
    void COORDINATE();
    void TRACCIA();
    void HScroll1_Change();
    void Command1_Click();
    void Command3_Click();

private:
    // Widens the bar's range where the maximised window needs a ratio beyond it to look round.
    void fitBarToScreen();

    QLabel *Label1;
    QScrollBar *HScroll1;
    QPushButton *Command2;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command3;

    float P1 = 0;
    // Positive from the start, so that a window reading it before any activation still draws.
    double m_Incr = 0.51;
    float CX = 0;
    float CY = 0;
    double XR = 0;
    double YR = 0;
};
