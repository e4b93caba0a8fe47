#include "app/filedialog.h"

#include "app/windows.h"

namespace app {

void setUpFileDialog(QFileDialog &dialog, const char *name, QFileDialog::AcceptMode mode,
                     const QStringList &filters)
{
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(0));
}

QString runFileDialog(QFileDialog &dialog)
{
    const DialogScope scope(dialog.parentWidget());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace app
