#include "app/recovery.h"

#include "common/wholefile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

#include <map>
#include <memory>

namespace app::recovery {

namespace {

QString folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

QString lockName(const QString &fileName)
{
    return fileName.chopped(QFileInfo(fileName).suffix().size()) + QStringLiteral("lock");
}

// How a file left at ESCI ends, instead of ".cinquepunti".
QString leftSuffix()
{
    return QStringLiteral("esci.cinquepunti");
}

// This run's file and lock, made at the first write; the locks of dead runs taken over.
struct Files
{
    QString own;
    std::unique_ptr<QLockFile> ownLock;
    std::map<QString, std::unique_ptr<QLockFile>> taken;
};

Files &files()
{
    static Files instance;
    return instance;
}

} // namespace

void write(const QByteArray &document)
{
    Files &f = files();
    if (!f.ownLock) {
        if (!QDir().mkpath(folder()))
            return;
        const QString name = folder() + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces) +
                             QStringLiteral(".cinquepunti");
        auto lock = std::make_unique<QLockFile>(lockName(name));
        lock->setStaleLockTime(0); // only a dead owner makes it stale, never its age
        if (!lock->tryLock(0))
            return;
        f.own = name;
        f.ownLock = std::move(lock);
    }
    // A failure here costs only the protection, and the user's own saves say so themselves.
    writeWholeFile(f.own, document);
}

void remove()
{
    Files &f = files();
    if (!f.ownLock)
        return;
    QFile::remove(f.own);
    f.ownLock.reset(); // unlocks and removes the lock file
    f.own.clear();
}

void leave(const QByteArray &document)
{
    write(document);
    Files &f = files();
    if (!f.ownLock)
        return;
    // A rename is whole: a run starting meanwhile finds the file under one name or the other.
    const QString left = f.own.chopped(QFileInfo(f.own).suffix().size()) + leftSuffix();
    if (QFile::rename(f.own, left))
        f.own = left;
    f.ownLock.reset(); // unlocked: the file is now a dead run's, for the next start to offer
    f.own.clear();
}

bool leftAtEsci(const QString &fileName)
{
    return fileName.endsWith(leftSuffix());
}

QStringList orphaned()
{
    Files &f = files();
    QStringList found;
    const QFileInfoList candidates =
        QDir(folder()).entryInfoList({QStringLiteral("*.cinquepunti")}, QDir::Files, QDir::Time);
    for (const QFileInfo &candidate : candidates) {
        const QString name = candidate.absoluteFilePath();
        if (name == f.own || f.taken.count(name))
            continue;
        auto lock = std::make_unique<QLockFile>(lockName(name));
        lock->setStaleLockTime(0);
        // Taken only when its run has died: a living run holds it.
        if (lock->tryLock(0)) {
            f.taken[name] = std::move(lock);
            found << name;
        }
    }
    return found;
}

void discard(const QString &fileName)
{
    QFile::remove(fileName);
    files().taken.erase(fileName);
}

} // namespace app::recovery
