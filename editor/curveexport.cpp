#include "editor/curveexport.h"

#include "app/controls.h"
#include "app/filedialog.h"
#include "app/message.h"
#include "app/settings.h"
#include "app/windows.h"
#include "common/wholefile.h"
#include "draw/surface.h"
#include "editor/curve/arclength.h"
#include "editor/curve/offset.h"
#include "editor/truescaledialog.h"
#include "formats/csv.h"
#include "formats/dxf.h"
#include "formats/equations.h"
#include "formats/pages.h"
#include "formats/pdf.h"
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
#include <QPrintDialog>
#include <QPrinter>

namespace {

// The true scale of new work: the last one accepted in any run, if it is one the dialog gives.
TrueScale defaultScale()
{
    const QSettings settings = app::settings();
    TrueScale scale = defaultTrueScale();
    const QVariant millimetres = settings.value(QStringLiteral("trueScale/millimetresPerUnit"));
    const QVariant paper = settings.value(QStringLiteral("trueScale/paper"));
    const QVariant overlap = settings.value(QStringLiteral("trueScale/overlap"));
    if (!millimetres.isValid() || !paper.isValid() || !overlap.isValid())
        return scale;
    // Settings kept before there was an offset line have none.
    const QVariant offset = settings.value(QStringLiteral("trueScale/offsetMillimetres"), 0);
    const QVariant side =
        settings.value(QStringLiteral("trueScale/offsetSide"), offsetSideKey(OffsetSide::Left));
    bool ok[3] = {};
    const TrueScale kept{.millimetresPerUnit = millimetres.toDouble(&ok[0]),
                         .paper = paperOfKey(paper.toString()).value_or(QPageSize::Custom),
                         .overlap = overlap.toDouble(&ok[1]),
                         .offsetMillimetres = offset.toDouble(&ok[2]),
                         .offsetSide = offsetSideOfKey(side.toString()).value_or(OffsetSide(-1))};
    return ok[0] && ok[1] && ok[2] && isValid(kept) ? kept : scale;
}

void rememberScale(const TrueScale &scale)
{
    QSettings settings = app::settings();
    settings.setValue(QStringLiteral("trueScale/millimetresPerUnit"), scale.millimetresPerUnit);
    settings.setValue(QStringLiteral("trueScale/paper"), paperKey(scale.paper));
    settings.setValue(QStringLiteral("trueScale/overlap"), scale.overlap);
    settings.setValue(QStringLiteral("trueScale/offsetMillimetres"), scale.offsetMillimetres);
    settings.setValue(QStringLiteral("trueScale/offsetSide"), offsetSideKey(scale.offsetSide));
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
            const QString named =
                curveFileName(files.first(), curveFormatOfFilter(selectedNameFilter()));
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
    : QObject(surface), m_surface(surface), m_trueScale(defaultScale()), m_folder(QDir::homePath())
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
    m_copyGeoGebra = add("actionCopyGeoGebra", QStringLiteral("Copia per GeoGebra"), {});
    m_copyDesmos = add("actionCopyDesmos", QStringLiteral("Copia per Desmos"), {});
    m_saveCurve =
        add("actionSaveCurve", QStringLiteral("Esporta..."), QKeySequence(Qt::CTRL | Qt::Key_E));
    m_print = add("actionPrint", QStringLiteral("Stampa..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    // The scale can be set before there is a curve.
    QAction *trueScale =
        app::addWindowAction(surface, "actionTrueScale", QStringLiteral("Scala reale..."));
    connect(trueScale, &QAction::triggered, this, &CurveExport::askTrueScale);
    connect(m_copyParameters, &QAction::triggered, this, &CurveExport::copyParameters);
    connect(m_copyDrawing, &QAction::triggered, this, &CurveExport::copyDrawing);
    connect(m_copyGeoGebra, &QAction::triggered, this, &CurveExport::copyGeoGebra);
    connect(m_copyDesmos, &QAction::triggered, this, &CurveExport::copyDesmos);
    connect(m_saveCurve, &QAction::triggered, this, &CurveExport::saveCurve);
    connect(m_print, &QAction::triggered, this, &CurveExport::print);
}

std::array<std::vector<ArcPoint>, 4> CurveExport::setCurve(Curve curve, std::array<bool, 4> carried)
{
    std::array<std::vector<ArcPoint>, 4> previous;
    if (m_curve) {
        for (std::size_t i = 0; i < carried.size(); ++i)
            if (carried[i])
                std::swap(curve.arcs[i], m_curve->arcs[i]);
        previous = std::move(m_curve->arcs);
    }
    m_curve = std::move(curve);
    for (QAction *action :
         {m_copyParameters, m_copyDrawing, m_copyGeoGebra, m_copyDesmos, m_saveCurve, m_print})
        action->setEnabled(true);
    for (std::vector<ArcPoint> &arc : previous)
        arc.clear();
    return previous;
}

void CurveExport::setDocument(const QString &fileName)
{
    const QFileInfo document(fileName);
    m_folder = document.absolutePath();
    m_name = document.completeBaseName();
}

void CurveExport::copyParameters()
{
    if (m_curve)
        QGuiApplication::clipboard()->setText(
            parametersText(*m_curve) + lengthsText(*m_curve, m_trueScale.millimetresPerUnit));
}

void CurveExport::copyGeoGebra()
{
    if (m_curve)
        QGuiApplication::clipboard()->setText(geoGebraText(*m_curve));
}

void CurveExport::copyDesmos()
{
    if (m_curve)
        QGuiApplication::clipboard()->setText(desmosText(*m_curve));
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
    app::setUpFileDialog(dialog, "saveCurveDialog", QFileDialog::AcceptSave, curveNameFilters());
    dialog.selectFile(curveFileName(m_name, CurveFormat::Svg));
    const QString chosen = app::runFileDialog(dialog);
    if (chosen.isEmpty())
        return;
    // Again here: a dialog closed with done() rather than accept() skipped the extension.
    const QString fileName =
        curveFileName(chosen, curveFormatOfFilter(dialog.selectedNameFilter()));
    m_folder = QFileInfo(fileName).absolutePath();
    save(fileName, *curveFormatOf(fileName));
}

bool CurveExport::save(const QString &fileName, CurveFormat format)
{
    if (!m_curve)
        return false;
    // The file's bytes, or why the curve has none in this format.
    std::variant<QByteArray, QString> data;
    // The offset line, for the formats that carry it.
    auto withOffset = [&](auto write) -> std::variant<QByteArray, QString> {
        const OffsetLines offsets = trueScaleOffset(*m_curve, m_trueScale);
        if (const QString *reason = std::get_if<QString>(&offsets))
            return *reason;
        return write(*m_curve, m_trueScale.millimetresPerUnit,
                     std::get<std::vector<QPolygonF>>(offsets));
    };
    switch (format) {
    case CurveFormat::Svg:
        data = withOffset(curveSvg);
        break;
    case CurveFormat::Csv:
        data = curveCsv(*m_curve);
        break;
    case CurveFormat::Dxf:
        data = withOffset(curveDxf);
        break;
    case CurveFormat::Pdf:
        data = curvePdf(*m_curve, m_trueScale);
        break;
    case CurveFormat::Png: {
        // Encoded in memory first, so that the file is written by the one routine that checks
        // every step of a write.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (writer.write(m_surface->canvas().drawing()))
            data = std::move(png);
        else
            data = writer.errorString();
        break;
    }
    }
    // Refused before the file is touched: an earlier one stays as it was.
    if (const QString *reason = std::get_if<QString>(&data)) {
        failed(fileName, *reason);
        return false;
    }
    if (const std::optional<QString> failure =
            writeWholeFile(fileName, std::get<QByteArray>(data))) {
        failed(fileName, *failure);
        return false;
    }
    return true;
}

void CurveExport::askTrueScale()
{
    TrueScaleDialog dialog(m_trueScale, m_surface);
    {
        const app::DialogScope scope(m_surface);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    const TrueScale chosen = dialog.trueScale();
    rememberScale(chosen);
    emit trueScaleChosen(chosen);
}

void CurveExport::print()
{
    if (!m_curve)
        return;
    auto cannotPrint = [this](const QString &reason) {
        app::showMessage(m_surface,
                         QStringLiteral("Impossibile stampare la curva: %1").arg(reason));
    };
    std::variant<CurvePages, QString> pages =
        layOutPages(*m_curve, m_trueScale, QPageSize(m_trueScale.paper));
    if (const QString *reason = std::get_if<QString>(&pages))
        return cannotPrint(*reason);
    const CurvePages &offered = std::get<CurvePages>(pages);
    QPrinter printer(QPrinter::HighResolution);
    // Also the name of the file Qt's dialog offers to print to.
    printer.setDocName(m_name);
    printer.setCreator(QStringLiteral("Cinquepunti"));
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(offered));
    QPrintDialog dialog(&printer, m_surface);
    dialog.setObjectName(QStringLiteral("printDialog"));
    // A range of pages reprints a sheet or two of a tiled curve.
    dialog.setMinMax(1, pageCount(offered));
    {
        const app::DialogScope scope(m_surface);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    // Paper or orientation changed in the dialog: the sheets are laid out again on it.
    const QPageLayout chosen = printer.pageLayout();
    if (!chosen.pageSize().isEquivalentTo(offered.paper) ||
        chosen.orientation() != offered.orientation) {
        pages = layOutPages(*m_curve, m_trueScale, chosen.pageSize(), chosen.orientation());
        if (const QString *reason = std::get_if<QString>(&pages))
            return cannotPrint(*reason);
    }
    const int count = pageCount(std::get<CurvePages>(pages));
    const bool range = printer.printRange() == QPrinter::PageRange;
    // Another paper may have left fewer pages than the range was chosen from.
    if (range && printer.fromPage() > count)
        return cannotPrint(QStringLiteral("le pagine sono %1").arg(count));
    if (!paintPages(printer, std::get<CurvePages>(pages), range ? printer.fromPage() : 1,
                    range ? printer.toPage() : count))
        cannotPrint(QStringLiteral("la stampante non ha accettato le pagine"));
}

void CurveExport::failed(const QString &fileName, const QString &reason)
{
    app::showCannotSave(m_surface, fileName, reason);
}
