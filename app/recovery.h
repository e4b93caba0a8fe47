#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Recovery files: the work of this run, written after each step, so that a run that dies loses
// nothing. They live under QStandardPaths::AppDataLocation, one per run, each beside a lock
// file that its run holds: a file whose lock can be taken belongs to a run that died, and two
// runs at once never take each other's.
namespace app::recovery {

// Writes this run's recovery file whole, replacing the last one.
void write(const QByteArray &document);
// Removes this run's recovery file: the user ended the work.
void remove();
// Writes this run's recovery file and leaves it for the next start, as the file of a run that
// ended with ESCI: the work had changes that no document holds.
void leave(const QByteArray &document);
// Whether a recovery file was left at ESCI rather than by a run that died.
bool leftAtEsci(const QString &fileName);
// The recovery files of runs that died, newest first; each one's lock is this run's now.
QStringList orphaned();
// Removes a dead run's recovery file, once brought back or refused, and its lock.
void discard(const QString &fileName);

} // namespace app::recovery
