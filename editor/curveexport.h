#pragma once

#include "editor/curve/curve.h"
#include "editor/curve/truescale.h"
#include "formats/curveformat.h"

#include <QObject>

#include <optional>

class DrawingSurface;
class QAction;

// The editor's ways out for its curve: copy the parameters, the drawing or the equations, export
// the curve, print it, as actions of the window (its context menu and shortcuts), enabled once a
// curve is drawn; and the true scale that paper and files take it at.
class CurveExport : public QObject
{
    Q_OBJECT

public:
    // Adds the actions to the surface, in one block after a separator.
    explicit CurveExport(DrawingSurface *surface);

    // The curve of the surface's last redraw, whose arcs marked carried (not walked again) are
    // those of the curve it replaces. Gives back the other arcs of the curve it replaces,
    // emptied, so that the next walk fills their storage again.
    std::array<std::vector<ArcPoint>, 4> setCurve(Curve curve, std::array<bool, 4> carried = {});
    const Curve *curve() const { return m_curve ? &*m_curve : nullptr; }

    // The work's document: the export dialog then opens in its folder and offers its name,
    // and printing to a file offers that name too.
    void setDocument(const QString &fileName);

    const TrueScale &trueScale() const { return m_trueScale; }
    void setTrueScale(const TrueScale &scale) { m_trueScale = scale; }
    // Asks for the true scale; once accepted, it is the default for new work and is offered to
    // the editor through trueScaleChosen.
    void askTrueScale();
    // The pages of the PDF export on a printer chosen in Qt's print dialog.
    void print();

    void copyParameters();
    void copyDrawing();
    // The arcs' equations and the base points, as GeoGebra and Desmos take them pasted.
    void copyGeoGebra();
    void copyDesmos();
    // Asks for a file name and format, then saves; a failure to write is a message.
    void saveCurve();
    // Saves the curve in the format into the file, whole or not at all; on failure the
    // message names the file and the reason. Returns whether the file was written.
    bool save(const QString &fileName, CurveFormat format);

signals:
    void trueScaleChosen(const TrueScale &scale);

private:
    // The message that the file could not be saved, and why.
    void failed(const QString &fileName, const QString &reason);

    DrawingSurface *m_surface;
    std::optional<Curve> m_curve;
    QAction *m_copyParameters;
    QAction *m_copyDrawing;
    QAction *m_copyGeoGebra;
    QAction *m_copyDesmos;
    QAction *m_saveCurve;
    QAction *m_print;
    TrueScale m_trueScale;
    QString m_folder; // where the last save went, where the next dialog opens
    QString m_name = QStringLiteral("curva"); // what it offers, before the format's extension
};
