#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

namespace app {

// Sets up a file dialog as every one of the program is: Qt's own widget-based dialog, named for
// the tests that answer it, to open an existing file or to save one (Qt then asks before it
// replaces a file), with its filters, the first one chosen.
void setUpFileDialog(QFileDialog &dialog, const char *name, QFileDialog::AcceptMode mode,
                     const QStringList &filters);
// Runs it modal, the keyboard given back to its parent window after; the file chosen, or none.
QString runFileDialog(QFileDialog &dialog);

} // namespace app
