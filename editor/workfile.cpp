#include "editor/workfile.h"

#include "app/controls.h"
#include "app/filedialog.h"
#include "app/message.h"
#include "app/recovery.h"
#include "app/settings.h"
#include "app/windows.h"
#include "common/wholefile.h"
#include "editor/form4.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUndoStack>

#include <utility>

namespace {

QString nameFilter()
{
    return QStringLiteral("Curve di Cinquepunti (*.cinquepunti)");
}

QString lastFolder()
{
    return app::settings().value(QStringLiteral("lastFolder"), QDir::homePath()).toString();
}

void rememberFolder(const QString &fileName)
{
    app::settings().setValue(QStringLiteral("lastFolder"), QFileInfo(fileName).absolutePath());
}

} // namespace

WorkFile::WorkFile(Form4 *editor, QUndoStack *history)
    : QObject(editor), m_editor(editor), m_history(history)
{
    app::addMenuSeparator(editor);
    QAction *open = app::addWindowAction(editor, "actionOpen", QStringLiteral("Apri..."),
                                         QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction *save = app::addWindowAction(editor, "actionSave", QStringLiteral("Salva"),
                                         QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction *saveAs =
        app::addWindowAction(editor, "actionSaveAs", QStringLiteral("Salva con nome..."),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(open, &QAction::triggered, this, [this] { askToOpen(m_editor); });
    connect(save, &QAction::triggered, this, &WorkFile::save);
    connect(saveAs, &QAction::triggered, this, &WorkFile::saveAs);
    connect(m_history, &QUndoStack::cleanChanged, this, &WorkFile::showState);
    connect(m_history, &QUndoStack::indexChanged, this, &WorkFile::scheduleRecovery);
    // At most a second after a step, so that a run that dies loses at most that second.
    m_recovery.setSingleShot(true);
    m_recovery.setInterval(1000);
    connect(&m_recovery, &QTimer::timeout, this,
            [this] { app::recovery::write(documentJson(document())); });
}

CurveDocument WorkFile::document() const
{
    return CurveDocument{.pointTexts = app::basePointTexts(),
                         .points = app::basePoints(),
                         .editor = m_editor->snapshot(),
                         .calibrationRatio = app::calibrationRatio(),
                         .workFile = m_fileName};
}

bool WorkFile::open(const QString &fileName, bool recovered)
{
    const std::variant<CurveDocument, QString> read = readDocument(fileName);
    if (const QString *reason = std::get_if<QString>(&read)) {
        app::showMessage(m_editor, QStringLiteral("Impossibile aprire il file %1: %2")
                                       .arg(QDir::toNativeSeparators(fileName), *reason));
        return false;
    }
    const CurveDocument &document = std::get<CurveDocument>(read);
    app::useDocumentRatio(document.calibrationRatio);
    app::restoreBasePoints(document.pointTexts, document.points);
    m_editor->showOpened(document.editor);
    m_fileName = recovered ? document.workFile : QFileInfo(fileName).absoluteFilePath();
    if (!m_fileName.isEmpty())
        emit fileNameChanged(m_fileName);
    if (recovered) {
        // Not saved anywhere yet: marked so, and kept by this run's own recovery at once.
        m_history->resetClean();
        app::recovery::write(documentJson(this->document()));
    }
    showState();
    return true;
}

void WorkFile::askToOpen(QWidget *parent)
{
    if (!mayReplace())
        return;
    if (const QString fileName = chooseToOpen(parent); !fileName.isEmpty())
        open(fileName);
}

QString WorkFile::chooseToOpen(QWidget *parent)
{
    QFileDialog dialog(parent, QStringLiteral("Apri"), lastFolder());
    app::setUpFileDialog(dialog, "openDialog", QFileDialog::AcceptOpen,
                         {nameFilter(), QStringLiteral("Tutti i file (*)")});
    // Only around the dialog: the opening then shows the editor, which keeps the keyboard.
    const QString fileName = app::runFileDialog(dialog);
    if (!fileName.isEmpty())
        rememberFolder(fileName);
    return fileName;
}

bool WorkFile::save()
{
    return m_fileName.isEmpty() ? saveAs() : writeTo(m_fileName);
}

bool WorkFile::saveAs()
{
    const QString start =
        m_fileName.isEmpty() ? lastFolder() + QStringLiteral("/curva.cinquepunti") : m_fileName;
    QFileDialog dialog(m_editor, QStringLiteral("Salva con nome"), start);
    app::setUpFileDialog(dialog, "saveAsDialog", QFileDialog::AcceptSave, {nameFilter()});
    // Added before the dialog's own question about replacing a file, so it asks about this one.
    dialog.setDefaultSuffix(QString::fromLatin1(documentExtension));
    const QString chosen = app::runFileDialog(dialog);
    if (chosen.isEmpty())
        return false;
    const QString fileName = documentFileName(chosen);
    rememberFolder(fileName);
    return writeTo(fileName);
}

bool WorkFile::writeTo(const QString &fileName)
{
    CurveDocument work = document();
    work.workFile.clear();
    if (const std::optional<QString> failure = writeWholeFile(fileName, documentJson(work))) {
        app::showCannotSave(m_editor, fileName, *failure);
        return false;
    }
    const QString written = QFileInfo(fileName).absoluteFilePath();
    if (written != std::exchange(m_fileName, written))
        emit fileNameChanged(m_fileName);
    m_history->setClean();
    showState();
    return true;
}

bool WorkFile::mayLeave()
{
    return m_fileName.isEmpty() || mayReplace();
}

bool WorkFile::mayReplace()
{
    if (m_history->isClean())
        return true;
    return askToSave(
        m_fileName.isEmpty()
            ? QStringLiteral("Salvare il lavoro, che non è in nessun file?")
            : QStringLiteral("Salvare le modifiche a «%1»?").arg(QFileInfo(m_fileName).fileName()));
}

bool WorkFile::askToSave(const QString &question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Cinquepunti"), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_editor);
    box.setDefaultButton(QMessageBox::Save);
    const app::DialogScope scope(m_editor);
    switch (box.exec()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void WorkFile::end()
{
    m_recovery.stop();
    if (m_fileName.isEmpty() && !m_history->isClean())
        app::recovery::leave(documentJson(document()));
    else
        app::recovery::remove();
}

void WorkFile::showState()
{
    if (m_fileName.isEmpty()) {
        // Without a file the title stays the window's own, with nothing to mark.
        m_editor->setWindowTitle(QStringLiteral("Form4"));
        return;
    }
    m_editor->setWindowTitle(QFileInfo(m_fileName).fileName() + QStringLiteral("[*] - Form4"));
    m_editor->setWindowModified(!m_history->isClean());
}

void WorkFile::scheduleRecovery()
{
    if (!m_recovery.isActive())
        m_recovery.start();
}
