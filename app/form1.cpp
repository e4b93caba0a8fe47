#include "app/form1.h"

#include "app/appearance.h"
#include "app/controls.h"
#include "app/instructions.h"
#include "app/windows.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextFrame>

#include <algorithm>

Form1::Form1(QWidget *parent)
    : QWidget(parent), OLE1(app::createControl<QTextBrowser>(this, "OLE1", {90, 210, 10815, 8295})),
      Command1(
          app::createControl<QPushButton>(this, "Command1", {10560, 4320, 1095, 1455}, "AVANTI"))
{
    setObjectName("Form1");
    setWindowTitle("Form1");
    setFont(app::sansSerif());
    resize(app::twips(12645), app::twips(9030));
    Command1->raise(); // drawn above the document

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    OLE1->setReadOnly(true);
    OLE1->setFocusPolicy(Qt::NoFocus);
    OLE1->setAccessibleName("Istruzioni");
    // The page's last lines reach a little below the area: the vertical bar stays, so the text
    // is laid out once for its width.
    OLE1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    OLE1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    app::loadInstructions(OLE1->document());
    // The text keeps clear of the button that stands over the page's right edge.
    QTextFrameFormat page = OLE1->document()->rootFrame()->frameFormat();
    const int underButton = OLE1->geometry().right() - Command1->geometry().left();
    page.setRightMargin(
        std::max(4, underButton + 4 - OLE1->verticalScrollBar()->sizeHint().width()));
    OLE1->document()->rootFrame()->setFrameFormat(page);
    OLE1->moveCursor(QTextCursor::Start);
}

void Form1::Command1_Click()
{
    if (m_VAIF.toDouble() == 0) {
        m_VAIF = Variant::integer(99);
        app::showCalibration();
    } else {
        app::showEditor();
    }
}
