#pragma once

#include "editor/curve/curve.h"

#include <QProcess>
#include <QStringList>

#include <array>
#include <utility>

// Curves as the editor makes them, for the tests of the logic: base points, the segments' rows,
// and each arc walked as the editor walks it.

// The editor's default base points, A to E.
inline constexpr std::array<std::pair<double, double>, 5> defaultPoints = {
    {{15, 15}, {60, 70}, {140, 20}, {188, 40}, {150, 90}}};

// One segment's row: displacements and ALFA increments (0 leaves an increment unset).
struct Bend
{
    int SPX = 0, SPY = 0;
    double AVX = 0, AVY = 0;
};

inline Curve walkedCurve(const std::array<std::pair<double, double>, 5> &at,
                         const std::array<Bend, 4> &bends = {}, double INST = 5)
{
    BasePoints points;
    for (std::size_t i = 0; i < at.size(); ++i) {
        points.X[i] = Variant::real(at[i].first);
        points.Y[i] = Variant::real(at[i].second);
    }
    SegmentTable table;
    for (Segment segment : segments) {
        const Bend &bend = bends[std::size_t(segment)];
        SegmentValues row;
        row.SPX = Variant::integer(std::int16_t(bend.SPX));
        row.SPY = Variant::integer(std::int16_t(bend.SPY));
        if (bend.AVX != 0)
            row.AVX = Variant::real(bend.AVX);
        if (bend.AVY != 0)
            row.AVY = Variant::real(bend.AVY);
        table.setRow(segment, row);
    }
    const ArcFrame frame{3.1415927f / 180, 430, 425, INST};
    std::array<std::vector<ArcPoint>, 4> arcs;
    for (Segment segment : segments)
        arcs[std::size_t(segment)] =
            arcPointsWithAngles(segmentArc(points, segment, table.row(segment)), frame);
    return makeCurve(points, table, std::move(arcs), frame, 1, 1, 1);
}

// What the program prints, or "(failed)" with its errors.
inline QString runPython(const QString &python, const QStringList &arguments)
{
    QProcess process;
    process.start(python, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QStringLiteral("(failed) ") + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
