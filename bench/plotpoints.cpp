#include "plotpoints.h"

#include <array>

ArcFrame benchFrame(double pointsIncrement)
{
    ArcFrame frame;
    frame.CX = static_cast<float>(benchScaleWidth / 2 - 70);
    frame.CY = static_cast<float>(benchScaleHeight / 2 + 50);
    frame.INST = pointsIncrement;
    return frame;
}

std::vector<QPointF> defaultRedrawPoints(double pointsIncrement)
{
    static constexpr std::array<QPointF, 5> base = {
        QPointF(15, 15), QPointF(60, 70), QPointF(140, 20), QPointF(188, 40), QPointF(150, 90)};
    const ArcFrame frame = benchFrame(pointsIncrement);
    std::vector<QPointF> points;
    for (std::size_t i = 0; i + 1 < base.size(); ++i) {
        ArcParameters arc;
        arc.ASQ = base[i + 1].x() - base[i].x();
        arc.ASM = base[i + 1].y() - base[i].y();
        arc.X9 = base[i].x();
        arc.Y9 = base[i].y();
        arc.AVAX = 1;
        arc.AVAY = 1;
        walkArc(arc, frame, [&](double x, double y) {
            points.emplace_back(static_cast<float>(x + frame.CX), static_cast<float>(frame.CY - y));
        });
    }
    return points;
}
