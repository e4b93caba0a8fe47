#include "app/form1.h"

#include "app/appearance.h"
#include "app/controls.h"
#include "app/instructions.h"
#include "app/windows.h"

#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>

Form1::Form1(QWidget *parent)
    : QWidget(parent), OLE1(app::createControl<QTextBrowser>(this, "OLE1", {90, 210, 10815, 8295})),
      Command1(
          app::createControl<QPushButton>(this, "Command1", {10560, 4320, 1095, 1455}, "AVANTI"))
{
    setObjectName("Form1");
    setWindowTitle("Form1");
    setFont(app::sansSerif());
    resize(app::twips(12645), app::twips(9030));
    // In the column the page keeps clear for "AVANTI", below it.
    m_open =
        app::createControl<QPushButton>(this, "openButton", {10560, 6120, 1095, 495}, "Apri...");
    Command1->raise(); // drawn above the document
    m_open->raise();
    QAction *open = app::addWindowAction(this, "actionOpen", QStringLiteral("Apri..."),
                                         QKeySequence(Qt::CTRL | Qt::Key_O));

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(open, &QAction::triggered, this, [this] { app::askToOpenWork(this); });
    connect(m_open, &QPushButton::clicked, open, &QAction::trigger);
    app::setTabOrder({Command1, OLE1, m_open});

    OLE1->setReadOnly(true);
    OLE1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    OLE1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The page is built apart from the browser and handed over whole with the wrap width
    // already set: the browser lays it out once, not at every insertion and again at each
    // setting.
    // The text keeps clear of the button that stands over the page's right edge: its width is
    // fixed there, so that a vertical bar coming or going never reflows it.
    OLE1->setLineWrapMode(QTextEdit::FixedPixelWidth);
    OLE1->setLineWrapColumnOrWidth(Command1->geometry().left() -
                                   (OLE1->geometry().left() + OLE1->frameWidth()));
    auto *page = new QTextDocument(OLE1);
    const QStringList pictures = app::loadInstructions(page);
    // The whole page fits its area at the design size, and its last line, a blank one, ends it.
    QTextFrameFormat frame = page->rootFrame()->frameFormat();
    frame.setBottomMargin(0);
    page->rootFrame()->setFrameFormat(frame);
    OLE1->setDocument(page);
    // Only a page that scrolls (a larger font or screen scale) takes the keyboard focus, for
    // its arrow and page keys; one that fits is no stop for Tab.
    OLE1->setFocusPolicy(Qt::NoFocus);
    connect(OLE1->verticalScrollBar(), &QScrollBar::rangeChanged, OLE1,
            [document = OLE1](int, int maximum) {
                document->setFocusPolicy(maximum > 0 ? Qt::StrongFocus : Qt::NoFocus);
            });
    OLE1->moveCursor(QTextCursor::Start);

    // For screen readers: the window says what it is (its title is the design's), the page
    // tells what its pictures show, which its text only marks.
    setAccessibleName("Cinquepunti – istruzioni");
    OLE1->setAccessibleName("Istruzioni");
    OLE1->setAccessibleDescription("Le figure mostrano: " + pictures.join("; "));
    OLE1->verticalScrollBar()->setAccessibleName("Scorrimento delle istruzioni");
    OLE1->horizontalScrollBar()->setAccessibleName("Scorrimento orizzontale delle istruzioni");
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
