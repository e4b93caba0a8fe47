#include "editor/joinsview.h"

#include "app/controls.h"
#include "app/settings.h"
#include "editor/curve/arclength.h"
#include "editor/curve/arcwalks.h"
#include "editor/curve/joins.h"
#include "editor/curve/offset.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <latch>
#include <limits>
#include <numbers>

namespace {

const char *const showJoinsKey = "view/showJoins";
const char *const combKey = "view/curvatureComb";

// Below half a degree no eye sees a turn; below ten it is a bend that the drawing hides.
constexpr double smoothTurn = 0.5;
constexpr double nearlySmoothTurn = 10;

struct Verdict
{
    QString words;
    QColor colour;
};

Verdict verdictOf(double turn)
{
    if (turn < smoothTurn)
        return {QStringLiteral("raccordo liscio"), QColor(0, 128, 0)};
    if (turn < nearlySmoothTurn)
        return {QStringLiteral("quasi liscio"), QColor(176, 96, 0)};
    return {QStringLiteral("spigolo"), QColor(192, 0, 0)};
}

QString curvatureText(const std::optional<double> &curvature)
{
    return curvature ? QLocale().toString(*curvature, 'g', 3) : QStringLiteral("—");
}

// The turn of one join, as its label reads it: "B 0,0° raccordo liscio; curvatura 0,012 | 0,034".
QString joinText(QChar letter, const Join &join)
{
    QString text = QString(letter) + u' ';
    if (!join.turn) {
        text += QStringLiteral("— l'arco %1 vi si ferma: la sua direzione non esiste")
                    .arg(join.arrivingStill ? QStringLiteral("che arriva")
                                            : QStringLiteral("che parte"));
        return text;
    }
    text += QLocale().toString(*join.turn, 'f', 1) + u'°' + u' ' + verdictOf(*join.turn).words;
    text += QStringLiteral("; curvatura ") + curvatureText(join.arrivingCurvature) +
            QStringLiteral(" | ") + curvatureText(join.leavingCurvature);
    return text;
}

std::array<ArcParameters, 4> arcsOf(const Curve &curve)
{
    std::array<ArcParameters, 4> arcs;
    for (Segment segment : segments)
        arcs[std::size_t(segment)] =
            segmentArc(curve.points, segment, curve.rows[std::size_t(segment)]);
    return arcs;
}

} // namespace

// The rings at the joins and the combs, over the drawing and beneath the controls; the mouse
// goes through to the editor.
class JoinMarks : public QWidget
{
public:
    explicit JoinMarks(QWidget *editor) : QWidget(editor)
    {
        setObjectName(QStringLiteral("joinMarks"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

    // The rings, one a join with its colour, and the combs' polylines, all in pixels.
    std::vector<std::pair<QPointF, QColor>> rings;
    std::vector<std::pair<QPolygonF, QPolygonF>> combs; // the arc's points, the teeth's tips
    std::vector<QPolygonF> offsets;                     // the offset lines

    // Repaints what the marks covered before and what they cover now, not the whole editor:
    // the marks lie over all of it, and repainting them whole repaints every control at each
    // redraw of a drag.
    void repaintChanged()
    {
        QRectF covered;
        for (const auto &[centre, colour] : rings)
            covered |= QRectF(centre - QPointF(ringRadius, ringRadius),
                              QSizeF(2 * ringRadius, 2 * ringRadius));
        for (const auto &[base, tips] : combs)
            covered |= base.boundingRect() | tips.boundingRect();
        // The pens' widths and the antialiasing around them.
        const QRect now = covered.toAlignedRect().adjusted(-3, -3, 3, 3);
        QWidget::update(m_covered | now);
        m_covered = now;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // Thin and a little transparent: a kerf's line lies on the arcs' dots.
        QColor offset = offsetColour();
        offset.setAlpha(176);
        painter.setPen(QPen(offset, 1));
        for (const QPolygonF &line : offsets)
            painter.drawPolyline(line);
        const QColor combColour(40, 90, 200);
        for (const auto &[base, tips] : combs) {
            painter.setPen(QPen(combColour, 0.5));
            for (qsizetype i = 0; i < base.size(); ++i)
                painter.drawLine(base[i], tips[i]);
            painter.setPen(QPen(combColour, 1));
            painter.drawPolyline(tips);
        }
        for (const auto &[centre, colour] : rings) {
            painter.setPen(QPen(colour, 2));
            painter.drawEllipse(centre, ringRadius, ringRadius);
        }
    }

private:
    static constexpr double ringRadius = 7;
    QRect m_covered;
};

JoinsView::JoinsView(QWidget *editor, PlaneToPixel toPixel)
    : QObject(editor), m_editor(editor), m_toPixel(std::move(toPixel))
{
    app::addMenuSeparator(editor);
    m_showJoins =
        app::addWindowAction(editor, "actionShowJoins", QStringLiteral("Mostra i raccordi"),
                             QKeySequence(Qt::CTRL | Qt::Key_R));
    m_comb =
        app::addWindowAction(editor, "actionCurvatureComb", QStringLiteral("Pettine di curvatura"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    for (QAction *action : {m_showJoins, m_comb})
        action->setCheckable(true);

    m_marks = new JoinMarks(editor);
    m_panel = new QFrame(editor);
    m_panel->setObjectName(QStringLiteral("joinsPanel"));
    m_panel->setFrameShape(QFrame::StyledPanel);
    m_panel->setAutoFillBackground(true);
    m_panel->setAccessibleName(QStringLiteral("Raccordi tra gli archi"));
    auto *layout = new QVBoxLayout(m_panel);
    const char *const names[] = {"joinB", "joinC", "joinD"};
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        m_labels[i] = new QLabel(m_panel);
        m_labels[i]->setObjectName(QString::fromLatin1(names[i]));
        m_labels[i]->setTextFormat(Qt::PlainText);
        layout->addWidget(m_labels[i]);
    }
    m_curveLength = new QLabel(m_panel);
    m_curveLength->setObjectName(QStringLiteral("curveLength"));
    m_arcLengths = new QLabel(m_panel);
    m_arcLengths->setObjectName(QStringLiteral("arcLengths"));
    for (QLabel *label : {m_curveLength, m_arcLengths}) {
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
    }
    m_panel->hide();
    m_marks->hide();

    connect(m_showJoins, &QAction::toggled, this, [this](bool on) {
        app::settings().setValue(QLatin1StringView(showJoinsKey), on);
        update();
    });
    connect(m_comb, &QAction::toggled, this, [this](bool on) {
        app::settings().setValue(QLatin1StringView(combKey), on);
        update();
    });
    // Off in a fresh settings folder, so that the editor first looks as it always has.
    m_showJoins->setChecked(app::settings().value(QLatin1StringView(showJoinsKey), false).toBool());
    m_comb->setChecked(app::settings().value(QLatin1StringView(combKey), false).toBool());
}

void JoinsView::setTrueScale(const TrueScale &scale)
{
    m_scale = scale;
    update();
}

void JoinsView::follow(const Curve &curve)
{
    m_drawn = true;
    m_curve = &curve;
    m_points = curve.points;
    m_arcs = arcsOf(curve);
    // Only what is shown is computed: a drag redraws many times a second.
    m_bounds = m_showJoins->isChecked() ? curveBounds(curve) : std::nullopt;
    update();
}

std::optional<PlaneBounds> JoinsView::curveBounds(const Curve &curve)
{
    // planeBounds(curve), the same to the bit: each smallest and largest is the first met in
    // the same order (chords, then the arcs AB to DE), but an arc's own is kept while the arc
    // is walked from the same values, which the curve's points depend on alone.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const auto take = [](PlaneBounds &b, double left, double right, double bottom, double top) {
        b.left = std::min(b.left, left);
        b.right = std::max(b.right, right);
        b.bottom = std::min(b.bottom, bottom);
        b.top = std::max(b.top, top);
    };
    const auto takePoint = [&take](PlaneBounds &b, QPointF p) {
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            take(b, p.x(), p.x(), p.y(), p.y());
    };
    const auto sameBits = [](const auto &a, const auto &b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    };
    PlaneBounds bounds{infinity, -infinity, infinity, -infinity};
    for (const QLineF &chord : curve.chords) {
        takePoint(bounds, chord.p1());
        takePoint(bounds, chord.p2());
    }
    // The arcs walked again are scanned side by side, each into its own extent; the extents are
    // then taken in the arcs' order, as one scan would.
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < m_arcExtents.size(); ++i) {
        ArcExtent &extent = m_arcExtents[i];
        const bool same = arcWalkReuse() && extent.known && sameBits(extent.arc, m_arcs[i]) &&
                          sameBits(extent.INST, curve.INST) &&
                          sameBits(extent.origin, curve.origin);
        if (!same) {
            extent = {true, m_arcs[i], curve.INST, curve.origin,
                      PlaneBounds{infinity, -infinity, infinity, -infinity}};
            changed.push_back(i);
        }
    }
    const auto scan = [&](std::size_t i) {
        for (const ArcPoint &p : curve.arcs[i])
            takePoint(m_arcExtents[i].bounds, p.point);
    };
    const std::size_t here = (changed.size() + 1) / 2;
    std::latch done(std::ptrdiff_t(changed.size() - here));
    for (std::size_t k = here; k < changed.size(); ++k)
        QThreadPool::globalInstance()->start([&, i = changed[k]] {
            scan(i);
            done.count_down();
        });
    for (std::size_t k = 0; k < here; ++k)
        scan(changed[k]);
    done.wait();
    for (const ArcExtent &extent : m_arcExtents)
        take(bounds, extent.bounds.left, extent.bounds.right, extent.bounds.bottom,
             extent.bounds.top);
    if (bounds.left > bounds.right)
        return std::nullopt;
    return bounds;
}

void JoinsView::update()
{
    const bool joins = m_showJoins->isChecked() && m_drawn;
    const bool comb = m_comb->isChecked() && m_drawn;
    // Nothing to do on a redraw while both are off: a drag redraws many times a second.
    if (!joins && !comb) {
        m_panel->hide();
        m_marks->hide();
        return;
    }
    m_marks->rings.clear();
    m_marks->combs.clear();
    m_marks->offsets.clear();
    if (joins) {
        showLengths();
        showOffset();
        const std::array<Join, 3> found = joinsOf(m_arcs);
        for (std::size_t i = 0; i < found.size(); ++i) {
            const QChar letter(char16_t(u'B' + i));
            const QColor colour =
                found[i].turn ? verdictOf(*found[i].turn).colour : QColor(192, 0, 0);
            m_labels[i]->setText(joinText(letter, found[i]));
            QPalette palette = m_labels[i]->palette();
            palette.setColor(QPalette::WindowText, colour);
            m_labels[i]->setPalette(palette);
            const QPointF at(m_points.X[i + 1].toDouble(), m_points.Y[i + 1].toDouble());
            m_marks->rings.emplace_back(m_toPixel(at), colour);
        }
    }
    if (comb) {
        // The teeth: the normal at each of 64 points of an arc, as long as the curvature there,
        // the longest of the whole curve 40 pixels; their tips joined.
        const std::array<ArcParameters, 4> &arcs = m_arcs;
        constexpr int teeth = 64;
        std::vector<std::vector<std::pair<QPointF, QPointF>>> normals(4);
        double largest = 0;
        for (std::size_t a = 0; a < arcs.size(); ++a) {
            for (int k = 0; k <= teeth; ++k) {
                const double t = std::numbers::pi / 2 * k / teeth;
                const ArcDerivatives d = arcDerivatives(arcs[a], t);
                const std::optional<double> curvature = arcCurvature(arcs[a], t);
                if (!curvature || !std::isfinite(*curvature))
                    continue;
                const double speed = std::hypot(d.first.x(), d.first.y());
                // Towards the centre of curvature: the left normal times the signed curvature.
                const QPointF normal(-d.first.y() / speed, d.first.x() / speed);
                normals[a].emplace_back(d.point, normal * *curvature);
                largest = std::max(largest, std::abs(*curvature));
            }
        }
        for (const auto &arc : normals) {
            QPolygonF base, tips;
            for (const auto &[point, tooth] : arc) {
                const QPointF from = m_toPixel(point);
                // A tooth's length in pixels; the plane's y is upwards, the screen's down.
                const QPointF towards = m_toPixel(point + tooth) - from;
                const double length = std::hypot(towards.x(), towards.y());
                const double scale = largest > 0 && length > 0
                                         ? 40 * std::hypot(tooth.x(), tooth.y()) / largest / length
                                         : 0;
                base << from;
                tips << from + towards * scale;
            }
            m_marks->combs.emplace_back(base, tips);
        }
    }
    m_marks->setGeometry(m_editor->rect());
    m_marks->setVisible(joins || comb);
    m_marks->lower();
    m_marks->repaintChanged();
    m_panel->setVisible(joins);
    if (joins)
        placePanel();
}

void JoinsView::showLengths()
{
    const CurveLengths lengths = curveLengths(*m_curve);
    const double mm = m_scale.millimetresPerUnit;
    auto text = [mm](double units) {
        return std::isfinite(units * mm) ? millimetresText(units * mm) : QStringLiteral("—");
    };
    m_curveLength->setText(QStringLiteral("Lunghezza della curva: %1 mm").arg(text(lengths.total)));
    QStringList arcs;
    for (Segment segment : segments)
        arcs << segmentName(segment) + u' ' + text(lengths.arcs[std::size_t(segment)]);
    m_arcLengths->setText(QStringLiteral("Archi: ") + arcs.join(QStringLiteral("; ")) +
                          QStringLiteral(" mm"));
}

void JoinsView::showOffset()
{
    if (!(m_scale.offsetMillimetres > 0))
        return;
    // Half a pixel: as fine as the screen shows, and far coarser than the files need, so that
    // a drag redraws it at once.
    const double tolerance = 0.5 * std::min(m_curve->pixelWidth, m_curve->pixelHeight);
    const OffsetLines lines =
        offsetLines(*m_curve, m_scale.offsetMillimetres / m_scale.millimetresPerUnit,
                    m_scale.offsetSide, tolerance);
    // A line that cannot be made is not drawn; the files say why.
    const auto *found = std::get_if<std::vector<QPolygonF>>(&lines);
    if (!found)
        return;
    for (const QPolygonF &line : *found) {
        QPolygonF pixels;
        pixels.reserve(line.size());
        for (QPointF p : line)
            pixels << m_toPixel(p);
        m_marks->offsets.push_back(std::move(pixels));
    }
}

void JoinsView::placePanel()
{
    // Beneath the editor's controls on the left, where the drawing rarely goes; in the bottom
    // right corner when the curve passes there.
    m_panel->adjustSize();
    const QRect area = m_editor->rect();
    QRect controls;
    for (QWidget *child : m_editor->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child != m_panel && child != m_marks && child->isVisible())
            controls |= child->geometry();
    QRect curve;
    if (m_bounds)
        curve = QRectF(m_toPixel({m_bounds->left, m_bounds->top}),
                       m_toPixel({m_bounds->right, m_bounds->bottom}))
                    .normalized()
                    .toAlignedRect()
                    .adjusted(-8, -8, 8, 8);
    const QSize size = m_panel->size();
    const QRect candidates[] = {
        QRect(QPoint(area.left() + 8, controls.bottom() + 8), size),
        QRect(QPoint(area.right() - size.width() - 8, area.bottom() - size.height() - 8), size),
        QRect(QPoint(area.right() - size.width() - 8, area.top() + 8), size)};
    QRect chosen = candidates[0];
    for (const QRect &candidate : candidates)
        if (area.contains(candidate) && !candidate.intersects(controls) &&
            !candidate.intersects(curve)) {
            chosen = candidate;
            break;
        }
    m_panel->move(chosen.topLeft());
    m_panel->raise();
}
