#include "app/application.h"
#include "app/windows.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <memory>

// What the user sees of Qt itself and of the start window on a desktop.
class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { app::destroyWindows(); }

    void qtWordsAreItalianWhateverTheLocale();
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

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
