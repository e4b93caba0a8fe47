#include "app/message.h"

#include <QMessageBox>

namespace app {

void showMessage(QWidget *parent, const QString &text)
{
    // Built by hand: the static helpers always show an icon.
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Cinquepunti"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

} // namespace app
