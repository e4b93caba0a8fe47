#include "common/wholefile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Why a write failed, in Italian for the common cases; errorNumber is the system's own when
// known, else QFileDevice's error and its text tell.
QString failureReason(const QString &fileName, const QFileDevice &file, int errorNumber = 0)
{
    const QFileInfo info(fileName);
    const QFileInfo folder(info.absolutePath());
    const QString error = errorNumber ? qt_error_string(errorNumber) : file.errorString();
    if (!folder.isDir())
        return QStringLiteral("la cartella non esiste");
    // Qt's file engine reports ENOSPC as a ResourceError, keeping the system's text.
    if (errorNumber == ENOSPC || errorNumber == EDQUOT ||
        file.error() == QFileDevice::ResourceError || error == qt_error_string(ENOSPC) ||
        error == qt_error_string(EDQUOT))
        return QStringLiteral("il disco è pieno");
    if (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS ||
        file.error() == QFileDevice::PermissionsError || error == qt_error_string(EACCES) ||
        error == qt_error_string(EPERM) || error == qt_error_string(EROFS) ||
        !folder.isWritable() || (info.exists() && !info.isWritable()))
        return QStringLiteral("permesso negato");
    return error;
}

} // namespace

std::optional<QString> writeWholeFile(const QString &fileName, QByteArrayView data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failureReason(fileName, file);
    // Qt 6.4's commit() flushes its write buffer while it closes the file and ignores the
    // result: a write that failed there (a full disk) still replaced the earlier file with an
    // empty one. So every step is checked here, while the error is still the write's own, and
    // commit() is left only the rename of a file known to be whole.
    if (file.write(data.data(), data.size()) != data.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        const QString reason = failureReason(fileName, file);
        file.cancelWriting();
        return reason;
    }
#ifdef Q_OS_UNIX
    // Some file systems (network ones, with quotas) tell of a full disk only here; commit()
    // syncs too, but does not look at the result.
    if (::fsync(file.handle()) != 0) {
        const int errorNumber = errno;
        file.cancelWriting();
        return failureReason(fileName, file, errorNumber);
    }
#endif
    if (!file.commit())
        return failureReason(fileName, file);
    return std::nullopt;
}
