#include "editor/form4.h"

#include "app/appearance.h"
#include "app/form1.h"
#include "app/windows.h"
#include "points/form3.h"

#include <QPushButton>

Form4::Form4(QWidget *parent)
    : DrawingSurface(parent), Command3(new QPushButton("ESCI", this)),
      Command6(new QPushButton("?", this)), Command7(new QPushButton("Modifica i PUNTI", this))
{
    setObjectName("Form4");
    setWindowTitle("Form4");
    setFont(app::sansSerif());
    Command3->setObjectName("Command3");
    Command6->setObjectName("Command6");
    Command7->setObjectName("Command7");

    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(Command6, &QPushButton::clicked, this, &Form4::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form4::Command7_Click);

    resize(app::twips(10605), app::twips(9615));
    app::placeTwips(Command3, 240, 6600, 1935, 255);
    app::placeTwips(Command6, 6600, 5400, 735, 615);
    app::placeTwips(Command7, 2400, 6360, 2775, 615);
    Command6->setFont(app::sansSerif(13.5, true));
    setWindowState(Qt::WindowMaximized);
}

void Form4::Command3_Click()
{
    app::endProgram();
}

void Form4::Command6_Click()
{
    app::show(app::form1());
}

void Form4::Command7_Click()
{
    Cls();
    app::show(app::form3());
}
