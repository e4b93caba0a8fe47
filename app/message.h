#pragma once

class QString;
class QWidget;

namespace app {

// The program's only kind of message: modal, the text alone, one OK button, no icon, the
// program's title. Returns when the user has closed it.
void showMessage(QWidget *parent, const QString &text);
// The message that a file could not be written, naming it and the reason.
void showCannotSave(QWidget *parent, const QString &fileName, const QString &reason);

} // namespace app
