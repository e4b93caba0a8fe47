#pragma once

#include "common/variant.h"

#include <QWidget>

class QPushButton;
class QTextBrowser;

// The start window: the instructions and the way forward.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // First-run flag: empty until the first "AVANTI", then 99.
    Variant VAIF() const { return m_VAIF; }

    void Form_Activate() {}
    void Command1_Click();

private:
    QTextBrowser *OLE1;
    QPushButton *Command1;
    QPushButton *m_open; // "Apri...": yesterday's work, one step from the start
    Variant m_VAIF;
};
