#include "app/application.h"

#include "app/recovery.h"
#include "app/windows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

namespace app {

namespace {

// Qt's own words (the text boxes' context menu, the standard dialogs) in Italian whatever the
// user's locale, which numbers keep following. Installed once per application object; where
// the translations are not installed, those words stay in English.
void installQtTranslations()
{
    static QPointer<QTranslator> installed;
    if (installed || !QCoreApplication::instance())
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_it"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return;
    }
    installed = translator;
}

// Asks about each work a run that died left, newest first; opens the first one wanted.
bool offerRecovery()
{
    for (const QString &fileName : recovery::orphaned()) {
        const QString when =
            QLocale().toString(QFileInfo(fileName).lastModified(), QLocale::ShortFormat);
        QMessageBox box(QMessageBox::Question, QStringLiteral("Cinquepunti"),
                        recovery::leftAtEsci(fileName)
                            ? QStringLiteral("Il lavoro del %1 non era stato salvato in un file "
                                             "quando Cinquepunti è stato chiuso con ESCI. "
                                             "Riprenderlo?")
                                  .arg(when)
                            : QStringLiteral("Cinquepunti si è chiuso senza ESCI e ha lasciato un "
                                             "lavoro del %1. Riprenderlo?")
                                  .arg(when),
                        QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        const bool wanted = box.exec() == QMessageBox::Yes;
        const bool opened = wanted && openWork(fileName, true);
        recovery::discard(fileName);
        if (opened)
            return true;
    }
    return false;
}

} // namespace

void start()
{
    start({});
}

void start(const QStringList &files)
{
    installQtTranslations();
    // Closing the last window ends the work as "ESCI" does.
    static QPointer<QCoreApplication> watched;
    if (watched != QCoreApplication::instance()) {
        watched = QCoreApplication::instance();
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &endWork);
    }
    if (offerRecovery())
        return;
    if (!files.isEmpty() && openWork(files.first()))
        return;
    showStart();
}

} // namespace app
