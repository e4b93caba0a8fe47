#include "formats/equations.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// One term of a sum: a coefficient and what it multiplies, in the target's notation.
struct Term
{
    double coefficient;
    QString factor; // empty for a constant
};

// "15 + 45*sin(t)^2 - 20*cos(t)*sin(2*t)": the terms whose coefficient is not zero, the first
// constant always written, the signs as operators.
QString sum(const std::array<Term, 3> &terms, const QString &times, const QString &plus,
            const QString &minus)
{
    QString text;
    for (const Term &term : terms) {
        const bool constant = term.factor.isEmpty();
        if (term.coefficient == 0 && !(constant && text.isEmpty()))
            continue;
        const bool negative = std::signbit(term.coefficient) && term.coefficient != 0;
        const QString magnitude = plainNumber(std::abs(term.coefficient));
        if (text.isEmpty())
            text = negative ? QStringLiteral("-") : QString();
        else
            text += negative ? minus : plus;
        text += constant ? magnitude : magnitude + times + term.factor;
    }
    return text;
}

std::array<QPointF, 5> basePoints(const Curve &curve)
{
    return {curve.chords[0].p1(), curve.chords[1].p1(), curve.chords[2].p1(), curve.chords[3].p1(),
            curve.chords[3].p2()};
}

QChar letter(std::size_t i)
{
    return QChar(char16_t(u'A' + i));
}

} // namespace

QString plainNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    // Fixed notation at its shortest: every digit that tells this double from its neighbours.
    // 1e308 is 309 digits.
    std::array<char, 400> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed);
    if (error != std::errc())
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

// With the angle t from 0 to pi/2 (joins.h):
//   x(t) = X9 + ASQ sin^2 t + SPTX cos t sin(AVAX t),
//   y(t) = Y9 + ASM sin t cos t + SPTY cos t sin(AVAY t) + ASM sin t.
QString geoGebraText(const Curve &curve)
{
    const QString times = QStringLiteral("*"), plus = QStringLiteral(" + "),
                  minus = QStringLiteral(" - ");
    QString text;
    for (Segment segment : segments) {
        const auto i = static_cast<std::size_t>(segment);
        const ArcParameters arc = segmentArc(curve.points, segment, curve.rows[i]);
        const QString x =
            sum({Term{arc.X9, {}},
                 {arc.ASQ, QStringLiteral("sin(t)^2")},
                 {arc.SPTX, QStringLiteral("cos(t)*sin(%1*t)").arg(plainNumber(arc.AVAX))}},
                times, plus, minus);
        const QString y =
            sum({Term{arc.Y9, {}},
                 {arc.ASM, QStringLiteral("(sin(t)*cos(t) + sin(t))")},
                 {arc.SPTY, QStringLiteral("cos(t)*sin(%1*t)").arg(plainNumber(arc.AVAY))}},
                times, plus, minus);
        text += QStringLiteral("Curve(%1, %2, t, 0, pi/2)\n").arg(x, y);
    }
    const std::array<QPointF, 5> points = basePoints(curve);
    for (std::size_t i = 0; i < points.size(); ++i)
        text += QStringLiteral("%1 = (%2, %3)\n")
                    .arg(letter(i))
                    .arg(plainNumber(points[i].x()), plainNumber(points[i].y()));
    return text;
}

QString desmosText(const Curve &curve)
{
    const QString times = QStringLiteral("\\cdot "), plus = QStringLiteral("+"),
                  minus = QStringLiteral("-");
    // The angle for Desmos's parameter t, which runs from 0 to 1 unless the user sets it.
    const QString angle = QStringLiteral("\\frac{\\pi}{2}t");
    const QString sine = QStringLiteral("\\sin\\left(%1\\right)").arg(angle);
    const QString cosine = QStringLiteral("\\cos\\left(%1\\right)").arg(angle);
    auto wave = [&](double alfa) {
        return cosine + times +
               QStringLiteral("\\sin\\left(%1%2%3\\right)").arg(plainNumber(alfa), times, angle);
    };
    QString text;
    for (Segment segment : segments) {
        const auto i = static_cast<std::size_t>(segment);
        const ArcParameters arc = segmentArc(curve.points, segment, curve.rows[i]);
        const QString x = sum({Term{arc.X9, {}},
                               {arc.ASQ, QStringLiteral("\\sin^{2}\\left(%1\\right)").arg(angle)},
                               {arc.SPTX, wave(arc.AVAX)}},
                              times, plus, minus);
        const QString y =
            sum({Term{arc.Y9, {}},
                 {arc.ASM, QStringLiteral("\\left(%1%2%3+%1\\right)").arg(sine, times, cosine)},
                 {arc.SPTY, wave(arc.AVAY)}},
                times, plus, minus);
        text += QStringLiteral("\\left(%1,%2\\right)\n").arg(x, y);
    }
    const std::array<QPointF, 5> points = basePoints(curve);
    for (std::size_t i = 0; i < points.size(); ++i)
        text += QStringLiteral("%1=\\left(%2,%3\\right)\n")
                    .arg(letter(i))
                    .arg(plainNumber(points[i].x()), plainNumber(points[i].y()));
    return text;
}
