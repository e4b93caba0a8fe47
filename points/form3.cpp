#include "points/form3.h"

#include "app/appearance.h"
#include "app/windows.h"
#include "editor/form4.h"

#include <QPushButton>

Form3::Form3(QWidget *parent)
    : QWidget(parent), Command1(new QPushButton("ESCI", this)),
      Command2(new QPushButton("AVANTI", this))
{
    setObjectName("Form3");
    setWindowTitle("Form3");
    setFont(app::sansSerif());
    Command1->setObjectName("Command1");
    Command2->setObjectName("Command2");

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);

    resize(app::twips(12075), app::twips(9150));
    app::placeTwips(Command1, 120, 6840, 1695, 615);
    app::placeTwips(Command2, 3240, 6840, 1575, 615);
}

void Form3::Command1_Click()
{
    app::endProgram();
}

void Form3::Command2_Click()
{
    app::show(app::form4());
}
