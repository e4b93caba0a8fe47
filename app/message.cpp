#include "app/message.h"

#include "app/windows.h"

#include <QDir>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace app {

void showMessage(QWidget *parent, const QString &text)
{
    // Built by hand: the static helpers always show an icon.
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Cinquepunti"), text, QMessageBox::Ok,
                    parent);
    // Wide enough that a window manager's title bar shows the program's name whole, even
    // over the shortest message.
    if (auto *layout = qobject_cast<QGridLayout *>(box.layout()))
        layout->addItem(new QSpacerItem(220, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                        layout->rowCount(), 0, 1, layout->columnCount());
    const DialogScope scope(parent);
    box.exec();
}

void showCannotSave(QWidget *parent, const QString &fileName, const QString &reason)
{
    showMessage(parent, QStringLiteral("Impossibile salvare il file %1: %2")
                            .arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace app
