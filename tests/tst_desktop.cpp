#include "app/application.h"
#include "app/form1.h"
#include "app/windows.h"
#include "useractions.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFrame>
#include <QTranslator>

#include <memory>

// What the user sees of Qt itself, and the start window's instructions page.
class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { app::destroyWindows(); }

    void qtWordsAreItalianWhateverTheLocale();
    void instructionsFitOrTakeTheKeyboard();
};

void tst_Desktop::qtWordsAreItalianWhateverTheLocale()
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_it.qm"))
        QSKIP("Qt's Italian translations are not installed");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(english);
    app::start();
    QCOMPARE(QLocale(), english); // numbers keep the user's locale

    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList entries;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            entries << action->text().section(u'\t', 0, 0).remove(u'&');
    QCOMPARE(entries, (QStringList{"Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina",
                                   "Seleziona tutto"}));

    // Starting again (as the tests do after destroying the windows) installs nothing more.
    const auto translators = qApp->findChildren<QTranslator *>().size();
    app::destroyWindows();
    app::start();
    QCOMPARE(qApp->findChildren<QTranslator *>().size(), translators);
}

void tst_Desktop::instructionsFitOrTakeTheKeyboard()
{
    app::start();
    Form1 *form = app::form1();
    auto *page = control<QTextBrowser>(form, "OLE1");
    auto *avanti = control<QPushButton>(form, "Command1");
    QCoreApplication::processEvents();
    QScrollBar *bar = page->verticalScrollBar();
    QCOMPARE(bar->maximum(), 0);
    QCOMPARE(page->focusPolicy(), Qt::NoFocus); // nothing to scroll, no stop for Tab

    // No text and no picture reaches under "AVANTI", which stands over the page's right edge.
    QTextDocument *document = page->document();
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    qreal right = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            right = std::max(right, layout->blockBoundingRect(block).x() +
                                        block.layout()->lineAt(i).naturalTextRect().right());
    for (QTextFrame *picture : document->rootFrame()->childFrames())
        right = std::max(right, layout->frameBoundingRect(picture).right());
    QVERIFY(page->viewport()->mapTo(form, QPoint(0, 0)).x() + right < avanti->x());

    // As a larger font would: the page no longer fits, and Tab and the keys reach it.
    page->resize(page->width(), page->height() / 2);
    QCoreApplication::processEvents();
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
    QCOMPARE(QApplication::focusWidget(), control<QPushButton>(form, "openButton"));
}

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
