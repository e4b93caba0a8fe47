#include "editor/curveexport.h"

#include "app/message.h"
#include "draw/surface.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLineEdit>
#include <QSaveFile>

#include <cerrno>

namespace {

// The dialog's filters, in the order of CurveFormat; the first is the default.
const QStringList &nameFilters()
{
    static const QStringList filters = {QStringLiteral("Disegno SVG (*.svg)"),
                                        QStringLiteral("Immagine PNG (*.png)"),
                                        QStringLiteral("Punti della curva CSV (*.csv)")};
    return filters;
}

CurveFormat filterFormat(const QString &filter)
{
    return static_cast<CurveFormat>(std::max<qsizetype>(0, nameFilters().indexOf(filter)));
}

// Qt's own save dialog, which gives a name without a known extension the selected filter's
// before it accepts: so its own question about replacing a file asks about the file written.
class SaveCurveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && !files.first().isEmpty() && !QFileInfo(files.first()).isDir()) {
            const QString named = curveFileName(files.first(), filterFormat(selectedNameFilter()));
            if (named != files.first()) {
                // selectFile leaves alone the name box that has the focus, as after typing.
                if (auto *box = findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    box->setText(box->text() + named.mid(files.first().size()));
                else
                    selectFile(named);
            }
        }
        QFileDialog::accept();
    }
};

// Why a save failed, in Italian for the common cases.
QString failureReason(const QString &fileName, const QFileDevice &file,
                      const QString &fallback = QString())
{
    const QFileInfo info(fileName);
    const QFileInfo folder(info.absolutePath());
    const QString error = file.errorString();
    if (!folder.isDir())
        return QStringLiteral("la cartella non esiste");
    if (file.error() == QFileDevice::ResourceError || error.contains(qt_error_string(ENOSPC)))
        return QStringLiteral("il disco è pieno");
    if (file.error() == QFileDevice::PermissionsError || error.contains(qt_error_string(EACCES)) ||
        error.contains(qt_error_string(EPERM)) || error.contains(qt_error_string(EROFS)) ||
        !folder.isWritable() || (info.exists() && !info.isWritable()))
        return QStringLiteral("permesso negato");
    if (file.error() == QFileDevice::NoError && !fallback.isEmpty())
        return fallback;
    return error;
}

} // namespace

CurveExport::CurveExport(DrawingSurface *surface)
    : QObject(surface), m_surface(surface), m_folder(QDir::homePath())
{
    auto *separator = new QAction(surface);
    separator->setSeparator(true);
    surface->addAction(separator);
    auto add = [surface](const char *name, const QString &text, const QKeySequence &key) {
        auto *action = new QAction(text, surface);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        // Anywhere in the window; a text box still keeps its own standard keys, which it
        // claims before any shortcut of the window.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        surface->addAction(action);
        return action;
    };
    m_copyParameters = add("actionCopyParameters", QStringLiteral("Copia i parametri"),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_copyDrawing = add("actionCopyDrawing", QStringLiteral("Copia il disegno"), {});
    m_saveCurve = add("actionSaveCurve", QStringLiteral("Salva la curva..."),
                      QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_copyParameters, &QAction::triggered, this, &CurveExport::copyParameters);
    connect(m_copyDrawing, &QAction::triggered, this, &CurveExport::copyDrawing);
    connect(m_saveCurve, &QAction::triggered, this, &CurveExport::saveCurve);
}

std::array<std::vector<ArcPoint>, 4> CurveExport::setCurve(Curve curve)
{
    std::array<std::vector<ArcPoint>, 4> previous;
    if (m_curve)
        previous = std::move(m_curve->arcs);
    m_curve = std::move(curve);
    for (QAction *action : {m_copyParameters, m_copyDrawing, m_saveCurve})
        action->setEnabled(true);
    for (std::vector<ArcPoint> &arc : previous)
        arc.clear();
    return previous;
}

void CurveExport::copyParameters()
{
    if (m_curve)
        QGuiApplication::clipboard()->setText(parametersText(*m_curve));
}

void CurveExport::copyDrawing()
{
    if (m_curve)
        QGuiApplication::clipboard()->setImage(m_surface->canvas().drawing());
}

void CurveExport::saveCurve()
{
    if (!m_curve)
        return;
    SaveCurveDialog dialog(m_surface, QStringLiteral("Salva la curva"), m_folder);
    dialog.setObjectName(QStringLiteral("saveCurveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters());
    dialog.selectNameFilter(nameFilters().first());
    dialog.selectFile(QStringLiteral("curva.svg"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // Again here: a dialog closed with done() rather than accept() skipped the extension.
    const QString chosen = dialog.selectedFiles().first();
    const QString fileName = curveFileName(chosen, filterFormat(dialog.selectedNameFilter()));
    m_folder = QFileInfo(fileName).absolutePath();
    save(fileName, *curveFormatOf(fileName));
}

bool CurveExport::save(const QString &fileName, CurveFormat format)
{
    if (!m_curve)
        return false;
    QSaveFile file(fileName);
    QString reason;
    if (file.open(QIODevice::WriteOnly)) {
        bool written = false;
        if (format == CurveFormat::Png) {
            QImageWriter writer(&file, "png");
            written = writer.write(m_surface->canvas().drawing());
            if (!written)
                reason = writer.errorString();
        } else {
            const QByteArray data =
                format == CurveFormat::Svg ? curveSvg(*m_curve) : curveCsv(*m_curve);
            written = file.write(data) == data.size();
        }
        if (written && file.commit())
            return true;
        // Before the cancel, which puts its own error in place of the real one.
        reason = failureReason(fileName, file, reason);
        file.cancelWriting();
    } else {
        reason = failureReason(fileName, file);
    }
    app::showMessage(m_surface, QStringLiteral("Impossibile salvare il file %1: %2")
                                    .arg(QDir::toNativeSeparators(fileName), reason));
    return false;
}
