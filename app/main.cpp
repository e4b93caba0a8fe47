#include "app/application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    app::start(application.arguments().mid(1));
    return application.exec();
}
