#include "app/application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(CINQUEPUNTI_APP_ID));
    app::start(application.arguments().mid(1));
    return application.exec();
}
