#include "editor/curveexport.h"

#include "app/controls.h"
#include "app/message.h"
#include "app/windows.h"
#include "common/wholefile.h"
#include "draw/surface.h"
#include "formats/csv.h"
#include "formats/svg.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLineEdit>

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

} // namespace

CurveExport::CurveExport(DrawingSurface *surface)
    : QObject(surface), m_surface(surface), m_folder(QDir::homePath())
{
    app::addMenuSeparator(surface);
    auto add = [surface](const char *name, const QString &text, const QKeySequence &key) {
        QAction *action = app::addWindowAction(surface, name, text, key);
        action->setEnabled(false); // until a curve is drawn
        return action;
    };
    m_copyParameters = add("actionCopyParameters", QStringLiteral("Copia i parametri"),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_copyDrawing = add("actionCopyDrawing", QStringLiteral("Copia il disegno"), {});
    m_saveCurve =
        add("actionSaveCurve", QStringLiteral("Esporta..."), QKeySequence(Qt::CTRL | Qt::Key_E));
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
    SaveCurveDialog dialog(m_surface, QStringLiteral("Esporta la curva"), m_folder);
    dialog.setObjectName(QStringLiteral("saveCurveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters());
    dialog.selectNameFilter(nameFilters().first());
    dialog.selectFile(QStringLiteral("curva.svg"));
    const app::DialogScope scope(m_surface);
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
    QByteArray data;
    switch (format) {
    case CurveFormat::Svg:
        data = curveSvg(*m_curve);
        break;
    case CurveFormat::Csv:
        data = curveCsv(*m_curve);
        break;
    case CurveFormat::Png: {
        // Encoded in memory first, so that the file is written by the one routine that checks
        // every step of a write.
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(m_surface->canvas().drawing())) {
            failed(fileName, writer.errorString());
            return false;
        }
        break;
    }
    }
    if (const std::optional<QString> failure = writeWholeFile(fileName, data)) {
        failed(fileName, *failure);
        return false;
    }
    return true;
}

void CurveExport::failed(const QString &fileName, const QString &reason)
{
    app::showMessage(m_surface, QStringLiteral("Impossibile salvare il file %1: %2")
                                    .arg(QDir::toNativeSeparators(fileName), reason));
}
