#pragma once

#include "draw/surface.h"

class QPushButton;

// The curve editor: four arcs over the chords of the base points, bent segment by segment.
class Form4 : public DrawingSurface
{
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);

    void Form_Activate() {}
    void Command3_Click();
    void Command6_Click();
    void Command7_Click();

private:
    QPushButton *Command3;
    QPushButton *Command6;
    QPushButton *Command7;
};
