#pragma once

#include "editor/curve/curve.h"
#include "editor/curve/truescale.h"

#include <QObject>
#include <QPointF>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QWidget;
class JoinMarks;

// How the arcs meet, shown over the editor: "Mostra i raccordi" opens a panel with each join's
// turn, in words and in colour, and the curvature on each side, and rings the joins on the
// drawing; "Pettine di curvatura" draws each arc's curvature comb. Both are settings of the
// view, remembered across runs, not changes of the work. The panel also shows the arcs' lengths
// at the true scale, and the drawing the scale's offset line. The panel and the marks are
// children of the editor above its drawing, which stays the drawing alone.
class JoinsView : public QObject
{
    Q_OBJECT

public:
    // Where a point of the editor's plane lies on the editor, in pixels.
    using PlaneToPixel = std::function<QPointF(QPointF)>;

    // Adds the two actions to the editor's menu, in one block after a separator.
    JoinsView(QWidget *editor, PlaneToPixel toPixel);

    // After each redraw: the curve just drawn, which the editor keeps until its next redraw.
    void follow(const Curve &curve);
    // The scale the lengths and the offset line are measured at.
    void setTrueScale(const TrueScale &scale);

private:
    // The curve's extent, as planeBounds gives it.
    std::optional<PlaneBounds> curveBounds(const Curve &curve);
    void update();
    void placePanel();
    // Into the panel, the lengths at the true scale; into the marks, the offset line in pixels.
    void showLengths();
    void showOffset();

    QWidget *m_editor;
    PlaneToPixel m_toPixel;
    QAction *m_showJoins;
    QAction *m_comb;
    QFrame *m_panel;
    std::array<QLabel *, 3> m_labels{};
    QLabel *m_curveLength;
    QLabel *m_arcLengths;
    const Curve *m_curve = nullptr;
    TrueScale m_scale;
    JoinMarks *m_marks;
    // Of the curve last drawn: its base points, its arcs' parameters and its extent.
    bool m_drawn = false;
    BasePoints m_points;
    std::array<ArcParameters, 4> m_arcs{};
    std::optional<PlaneBounds> m_bounds;
    // By arc, the extent of its points and what they were walked from: a drag changes one arc.
    struct ArcExtent
    {
        bool known = false;
        ArcParameters arc;
        double INST = 0;
        QPointF origin;
        PlaneBounds bounds;
    };
    std::array<ArcExtent, 4> m_arcExtents{};
};
