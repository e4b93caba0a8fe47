#include "editor/curve/arcwalks.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

Q_DECLARE_METATYPE(ArcParameters)

namespace {

ArcParameters chord(double ASQ, double ASM, double SPTX = 0, double SPTY = 0, double AVAX = 0,
                    double AVAY = 0)
{
    return {ASQ, ASM, SPTX, SPTY, 15, 15, AVAX, AVAY};
}

ArcFrame frameAt(double INST)
{
    ArcFrame frame; // CX 430, CY 425: bounds |x| <= 530, |y| <= 425
    frame.INST = INST;
    return frame;
}

// An editor-like surface: 1000 units across 796 pixels, dots 2 pixels wide.
DotMapping mapping(QSize size = {796, 796})
{
    DotMapping m;
    m.perUnitX = size.width() / 1000.0;
    m.perUnitY = size.height() / 1000.0;
    m.dotWidth = 2;
    m.size = size;
    return m;
}

// What one thread walking the arc whole gives: its points, and their dots as the mapping
// places them, each once where consecutive points share it.
struct Walk
{
    std::vector<ArcPoint> plane;
    std::vector<QPoint> corners;
    QRect bounds;
};

Walk wholeWalk(const ArcParameters &arc, const ArcFrame &frame, const DotMapping &m)
{
    Walk walk{arcPointsWithAngles(arc, frame), {}, {}};
    for (const ArcPoint &p : walk.plane) {
        const QPoint corner = m.corner(p.point.x() + frame.CX, frame.CY - p.point.y());
        // A dot that repeats the one before it paints nothing new.
        if (corner == DotMapping::noDot || (!walk.corners.empty() && walk.corners.back() == corner))
            continue;
        walk.corners.push_back(corner);
        walk.bounds |= QRect(corner, QSize(1, 1));
    }
    return walk;
}

// Bit for bit, where QPointF compares with a tolerance.
bool identical(const std::vector<ArcPoint> &a, const std::vector<ArcPoint> &b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const ArcPoint &p, const ArcPoint &q) {
               return std::memcmp(&p, &q, sizeof p) == 0;
           });
}

} // namespace

// The arcs walked side by side and by ranges of angles on several threads, against one thread
// walking each arc whole.
class tst_ArcWalks : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setArcWalkThreads(0);
        setArcWalkReuse(true);
    }
    void rangesJoinAsOneWalk_data();
    void rangesJoinAsOneWalk();
    void onlyChangedArcsWalkAgain();
};

void tst_ArcWalks::rangesJoinAsOneWalk_data()
{
    QTest::addColumn<ArcParameters>("arc");
    QTest::addColumn<double>("INST");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("bent, INST 1000") << chord(45, 55, 120, -80, 2, 3) << 1000.0;
    QTest::newRow("ALFA 1, INST 999.7") << chord(45, 55, 40, 60, 1, 1) << 999.7;
    QTest::newRow("INST 5") << chord(45, 55, 10, 20, 2, 2) << 5.0;
    QTest::newRow("INST 1: ends at the chord's end") << chord(80, -30) << 1.0;
    QTest::newRow("INST 0.01: one angle") << chord(45, 55) << 0.01;
    QTest::newRow("negative INST: nothing") << chord(45, 55) << -3.0;
    QTest::newRow("INST not a number") << chord(45, 55) << nan;
    QTest::newRow("INST beyond the largest: held to its steps") << chord(45, 55) << 1e9;
    // x = 15 + ASQ sin^2: beyond 530 from about 31 degrees, or from about 70.
    QTest::newRow("leaves the bounds in the first half") << chord(2000, 10) << 1000.0;
    QTest::newRow("leaves the bounds in the second half") << chord(600, 10) << 1000.0;
    QTest::newRow("not a number at once") << chord(45, 55, nan) << 1000.0;
    QTest::newRow("partly off the surface") << chord(500, 380, 0, 0) << 1000.0;
}

void tst_ArcWalks::rangesJoinAsOneWalk()
{
    QFETCH(ArcParameters, arc);
    QFETCH(double, INST);

    const ArcFrame frame = frameAt(INST);
    const DotMapping m = mapping();
    const ArcParameters plain = chord(45, 55, 30, 30, 2, 2);
    // The arc alone, between two others, and with three others: one arc in ranges, arcs in
    // ranges of their own, and arcs whole, on one to four threads.
    const std::vector<std::vector<ArcParameters>> groups = {
        {arc}, {plain, arc, plain}, {arc, plain, arc, chord(-40, 70, 5, 5, 3, 1)}};
    for (int threads = 1; threads <= 4; ++threads) {
        setArcWalkThreads(threads);
        for (const std::vector<ArcParameters> &arcs : groups) {
            std::vector<std::vector<ArcPoint>> plane(arcs.size());
            std::vector<ArcDots> dots(arcs.size());
            // Lists that held more: the walk replaces what they held.
            plane[0].resize(7);
            dots[0].corners.resize(3);
            walkArcs(arcs, frame, m, plane, dots);
            for (std::size_t i = 0; i < arcs.size(); ++i) {
                const Walk whole = wholeWalk(arcs[i], frame, m);
                const QByteArray where = QByteArray::number(threads) + " threads, arc " +
                                         QByteArray::number(int(i)) + " of " +
                                         QByteArray::number(int(arcs.size()));
                QVERIFY2(identical(plane[i], whole.plane), where);
                QVERIFY2(dots[i].corners == whole.corners, where);
                QVERIFY2(dots[i].bounds == whole.bounds, where);
            }
        }
    }
}

void tst_ArcWalks::onlyChangedArcsWalkAgain()
{
    // Each step changes something and says which arcs must be walked again; what the walks
    // hold afterwards is always what walking every arc afresh gives.
    std::array<ArcParameters, 4> arcs = {chord(45, 55, 0, 120, 2, 2), chord(80, -50),
                                         chord(48, 20, 10, 0, 1, 1), chord(-38, 50)};
    ArcFrame frame = frameAt(200);
    DotMapping m = mapping();
    ArcWalks walks;
    std::array<std::vector<ArcPoint>, 4> plane;
    using W = ArcWalks::Walked;
    struct Step
    {
        const char *what;
        std::function<void()> change;
        W walked;
    };
    const Step steps[] = {
        {"the first walk", [] {}, W{true, true, true, true}},
        {"nothing changed", [] {}, W{}},
        {"one displacement", [&] { arcs[1].SPTY = 7; }, W{false, true, false, false}},
        {"back again", [&] { arcs[1].SPTY = 0; }, W{false, true, false, false}},
        {"-0 for +0", [&] { arcs[3].SPTX = -0.0; }, W{false, false, false, true}},
        {"a base point, two chords",
         [&] {
             arcs[2].ASQ += 1;
             arcs[3].X9 += 1;
         },
         W{false, false, true, true}},
        {"the points increment", [&] { frame.INST = 201; }, W{true, true, true, true}},
        {"the origin", [&] { frame.CY += 1; }, W{true, true, true, true}},
        {"the surface's size", [&] { m.size.rwidth() += 1; }, W{true, true, true, true}},
        {"the scale", [&] { m.perUnitY *= 1.25; }, W{true, true, true, true}},
        {"the dots' width", [&] { m.dotWidth = 3; }, W{true, true, true, true}},
        {"reuse off", [] { setArcWalkReuse(false); }, W{true, true, true, true}},
        {"reuse on again", [] { setArcWalkReuse(true); }, W{}},
        {"after forget", [&] { walks.forget(); }, W{true, true, true, true}},
    };
    for (const Step &step : steps) {
        step.change();
        const long long before = arcsWalked();
        const W walked = walks.walk(arcs, frame, m, plane);
        QVERIFY2(walked == step.walked, step.what);
        QCOMPARE(arcsWalked() - before, std::count(walked.begin(), walked.end(), true));
        for (std::size_t i = 0; i < arcs.size(); ++i) {
            const Walk whole = wholeWalk(arcs[i], frame, m);
            QVERIFY2(identical(plane[i], whole.plane), step.what);
            QVERIFY2(walks.dots(i).corners == whole.corners, step.what);
            QVERIFY2(walks.dots(i).bounds == whole.bounds, step.what);
        }
    }
}

QTEST_GUILESS_MAIN(tst_ArcWalks)
#include "tst_arcwalks.moc"
