#pragma once

#include "formats/document.h"

#include <QObject>
#include <QString>
#include <QTimer>

class Form4;
class QAction;
class QUndoStack;

// Keeping the work: "Apri...", "Salva" and "Salva con nome..." of the editor, the file the work
// belongs to, the mark of changes not yet saved (the history's clean state), the question before
// they would be lost, and this run's recovery file, written after each step.
class WorkFile : public QObject
{
    Q_OBJECT

public:
    WorkFile(Form4 *editor, QUndoStack *history);

    // The work as a document, as the windows hold it now.
    CurveDocument document() const;
    // Opens the document into the windows and the editor, which it shows; a bad file is a
    // message naming it, and changes nothing. A recovered work keeps the file it belonged to
    // and is marked unsaved. Returns whether it opened.
    bool open(const QString &fileName, bool recovered = false);
    // "Apri...": the question about unsaved changes, then the dialog, then open().
    void askToOpen(QWidget *parent);
    // The dialog of "Apri...": the file chosen, or nothing. Needs no editor.
    static QString chooseToOpen(QWidget *parent);
    // "Salva": into the work's own file, or through "Salva con nome..." the first time.
    bool save();
    bool saveAs();
    // Before the work is left (ESCI, the window closed): with a file and unsaved changes, asks
    // whether to save them. False when the user keeps the work.
    bool mayLeave();
    // Before another work replaces it ("Apri..."): asks about unsaved changes, with a file or
    // without one. False when the user keeps the work.
    bool mayReplace();
    // The program ends: a work with changes that no document holds (no file, and a step since
    // it was started or opened) leaves its recovery file for the next start; any other removes it.
    void end();
    const QString &fileName() const { return m_fileName; }

signals:
    // The work's file, once opened or saved under a name: where its exports go by default.
    void fileNameChanged(const QString &fileName);

private:
    bool askToSave(const QString &question);
    bool writeTo(const QString &fileName);
    void showState();
    void scheduleRecovery();

    Form4 *m_editor;
    QUndoStack *m_history;
    QString m_fileName;
    QTimer m_recovery;
};
