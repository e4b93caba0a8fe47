#include "app/application.h"
#include "app/form1.h"
#include "app/windows.h"
#include "useractions.h"

#include <QAbstractTextDocumentLayout>

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFrame>

#include <memory>

// What the user sees of Qt itself, and the start window's instructions page.
class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { app::destroyWindows(); }

    void qtWordsAreItalianWhateverTheLocale();
    void instructionsFitTheirAreaClearOfTheButton();
    void aPageThatScrollsTakesTheKeyboard();
};

namespace {

// The texts of a menu's entries, without their mnemonics and shortcuts.
QStringList entries(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        if (!action->isSeparator())
            texts << action->text().section(u'\t', 0, 0).remove(u'&');
    return texts;
}

// Counts the language changes the application object receives.
class LanguageChanges : public QObject
{
public:
    LanguageChanges() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == qApp && event->type() == QEvent::LanguageChange)
            ++count;
        return false;
    }
};

} // namespace

void tst_Desktop::qtWordsAreItalianWhateverTheLocale()
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_it.qm"))
        QSKIP("Qt's Italian translations are not installed");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(english);
    app::start();
    // Numbers keep the user's locale.
    QCOMPARE(QLocale(), english);

    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QCOMPARE(entries(*menu), (QStringList{"Annulla", "Rifai", "Taglia", "Copia", "Incolla",
                                          "Elimina", "Seleziona tutto"}));

    // Starting again (as the tests do after destroying the windows) installs nothing more.
    app::destroyWindows();
    LanguageChanges changes;
    app::start();
    QCOMPARE(changes.count, 0);
}

void tst_Desktop::instructionsFitTheirAreaClearOfTheButton()
{
    app::start();
    Form1 *form = app::form1();
    auto *page = control<QTextBrowser>(form, "OLE1");
    const QWidget *avanti = control<QWidget>(form, "Command1");
    QCoreApplication::processEvents();
    QTextDocument *document = page->document();
    QVERIFY2(document->size().height() <= page->viewport()->height(),
             qPrintable(QStringLiteral("%1 of %2 pixels")
                            .arg(document->size().height())
                            .arg(page->viewport()->height())));
    QCOMPARE(page->verticalScrollBar()->maximum(), 0);
    // Nothing to scroll, so no stop for Tab.
    QCOMPARE(page->focusPolicy(), Qt::NoFocus);

    // No text and no picture reaches under "AVANTI", which stands over the page's right edge.
    const int pageLeft = page->viewport()->mapTo(form, QPoint(0, 0)).x();
    qreal right = 0;
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QPointF origin = layout->blockBoundingRect(block).topLeft();
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            right =
                std::max(right, origin.x() + block.layout()->lineAt(i).naturalTextRect().right());
    }
    for (QTextFrame *picture : document->rootFrame()->childFrames())
        right = std::max(right, layout->frameBoundingRect(picture).right());
    QVERIFY2(pageLeft + right < avanti->x(),
             qPrintable(QStringLiteral("text reaches %1, AVANTI starts at %2")
                            .arg(pageLeft + right)
                            .arg(avanti->x())));
}

void tst_Desktop::aPageThatScrollsTakesTheKeyboard()
{
    app::start();
    Form1 *form = app::form1();
    auto *page = control<QTextBrowser>(form, "OLE1");
    auto *avanti = control<QPushButton>(form, "Command1");
    // As a larger font would: the page no longer fits.
    page->resize(page->width(), page->height() / 2);
    QCoreApplication::processEvents();
    QScrollBar *bar = page->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);

    avanti->setFocus();
    QTest::keyClick(avanti, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), page);
    QTest::keyClick(page, Qt::Key_PageDown);
    QVERIFY(bar->value() > 0);

    // Back at its size it fits again (the bar leaving reflows nothing), and Tab passes it by.
    page->resize(page->width(), page->height() * 2);
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), 0);
    avanti->setFocus();
    QTest::keyClick(avanti, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), avanti);
}

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
