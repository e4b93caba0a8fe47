#include "app/application.h"

#include "app/windows.h"

#include <QCoreApplication>
#include <QLibraryInfo>
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

} // namespace

void start()
{
    installQtTranslations();
    showStart();
}

} // namespace app
