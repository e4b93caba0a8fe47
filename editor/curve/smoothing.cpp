#include "editor/curve/smoothing.h"

#include "common/numbers.h"
#include "editor/curve/joins.h"

#include <nlopt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

// The smoothing is a small constrained least-change problem, solved with NLopt's SLSQP
// (sequential quadratic programming) and the gradients the arcs' closed forms give, rather than
// by a solver of our own: SLSQP takes equalities, inequalities and bounds together and needs a
// few dozen steps for these few unknowns.
// - The unknowns are the free segments' displacements and ALFA increments, each measured on its
//   own scale (a displacement against its bar's half range, an increment as it is), and the
//   change is the sum of their squared moves. Each join touched adds one more unknown, the
//   direction of its tangent.
// - Both arcs' velocities at a join lie along that direction (equalities) and run forward on
//   it at least at the slowest speed allowed (inequalities).
// - The bars' ranges bound the displacements; an increment keeps its sign, away from zero.
// - The standstill rule holds the squared speed where each arc comes slowest.
// A local solver finds the solution nearest its start, and a cusp can be smoothed by turning
// either side: it starts from a few directions of the joins' tangents and keeps the solution
// that changes least. The displacements are whole, which no such solver knows: they are fixed
// one segment at a time to a whole neighbour of the solution, the rest solved again each time,
// so that the increments finally absorb what the rounding moved. Every result is then checked
// as the panel shows it: the turns from joinsOf, the speed on a fine walk of each arc.

namespace {

constexpr double quarterTurn = std::numbers::pi / 2;
// The speed is checked at this many angles of each arc, and held while solving, with a margin,
// where it comes lowest among them.
constexpr int checkedSpeeds = 2049;
double angleAt(int k)
{
    return quarterTurn * k / (checkedSpeeds - 1);
}
constexpr double speedMargin = 1.02;
// An increment keeps its sign and stays within these magnitudes, or nearly those it had.
constexpr double smallestIncrement = 0.05;
constexpr double largestIncrement = 8;

enum Column { DisplacementX, DisplacementY, IncrementX, IncrementY, Direction };
constexpr int columnCount = 4;

double chordOf(const ArcParameters &arc)
{
    return std::hypot(arc.ASQ, arc.ASM);
}

// The parameter a column of the solve stands for.
template <typename Arc> auto &parameter(Arc &arc, int column)
{
    switch (column) {
    case DisplacementX:
        return arc.SPTX;
    case DisplacementY:
        return arc.SPTY;
    case IncrementX:
        return arc.AVAX;
    default:
        return arc.AVAY;
    }
}

// The arc's velocity at t, from the sine and cosine of t given exactly at the ends, with its
// derivatives by the four parameters. In x the displacement term is SPTX g(AVAX, t) with
// g(a, t) = a cos t cos(a t) - sin t sin(a t), in y likewise.
struct Velocity
{
    double x = 0;
    double y = 0;
    std::array<double, columnCount> dx{};
    std::array<double, columnCount> dy{};
};

Velocity velocity(const ArcParameters &arc, double t, double s, double c)
{
    const auto g = [&](double a) { return a * c * std::cos(a * t) - s * std::sin(a * t); };
    const auto gByIncrement = [&](double a) {
        return c * std::cos(a * t) - a * c * t * std::sin(a * t) - s * t * std::cos(a * t);
    };
    Velocity v;
    v.x = 2 * arc.ASQ * s * c + arc.SPTX * g(arc.AVAX);
    v.y = arc.ASM * (c * c - s * s) + arc.ASM * c + arc.SPTY * g(arc.AVAY);
    v.dx[DisplacementX] = g(arc.AVAX);
    v.dx[IncrementX] = arc.SPTX * gByIncrement(arc.AVAX);
    v.dy[DisplacementY] = g(arc.AVAY);
    v.dy[IncrementY] = arc.SPTY * gByIncrement(arc.AVAY);
    return v;
}

Velocity leavingVelocity(const ArcParameters &arc)
{
    return velocity(arc, 0, 0, 1);
}
Velocity arrivingVelocity(const ArcParameters &arc)
{
    return velocity(arc, quarterTurn, 1, 0);
}

// An unknown of a solve: a parameter of an arc, or the direction of a join's tangent.
struct Unknown
{
    int index; // the arc, or for a direction the join (0 for B)
    int column;
    double scale; // the parameter is scale * x
    double lower;
    double upper;
    double target; // the value the user had, in x; a direction has none
};

using Arcs = std::array<ArcParameters, 4>;
using Directions = std::array<double, 3>; // at B, C and D, in radians

struct Solution
{
    Arcs arcs;
    Directions directions;
    double change = 0; // the sum the solver made least
};

// One solve: the arcs, with every parameter that is not an unknown as it is. Each join has a
// direction of its own among the unknowns, the tangent both arcs must share there: both arcs'
// velocities at the join lie along it (equalities) and run forward on it at least at their
// slowest allowed speed (inequalities). Stated so, every constraint stays linear in the
// velocities, and keeps its gradient where a velocity passes through zero: the cheapest way to
// smooth a cusp is often to reverse one side.
class Problem
{
public:
    Problem(const Arcs &arcs, std::vector<int> joins, std::vector<int> movingArcs,
            std::vector<Unknown> unknowns)
        : m_arcs(arcs), m_joins(std::move(joins)), m_moving(std::move(movingArcs)),
          m_unknowns(std::move(unknowns))
    {
        for (std::size_t arc = 0; arc < m_arcs.size(); ++arc)
            m_chords[arc] = chordOf(m_arcs[arc]) > 0 ? chordOf(m_arcs[arc]) : 1;
        for (int join : m_joins) {
            m_sides.push_back({join, true});
            m_sides.push_back({join, false});
            m_across.push_back({join, true});
            // Where both velocities keep a component at zero whatever the unknowns (the
            // horizontal ones, say, of two arcs without a horizontal displacement), both lie along
            // the direction as soon as one does: a second equality would repeat the first, and
            // a repeated equality leaves the solver's linear systems singular.
            const Velocity in = arrivingVelocity(m_arcs[join]);
            const Velocity out = leavingVelocity(m_arcs[join + 1]);
            const bool xStays = staysZero(in.x, in.dx, join) && staysZero(out.x, out.dx, join + 1);
            const bool yStays = staysZero(in.y, in.dy, join) && staysZero(out.y, out.dy, join + 1);
            if (!xStays && !yStays)
                m_across.push_back({join, false});
        }
    }

    // Adds to the angles where the speed is held those where the arcs come slowest, below
    // within times the speed held; whether there was any. Each such angle is a row of the
    // solver's linear systems, whose cost grows with their number: the speed is held only where
    // it may come too low.
    bool holdSlowestAngles(const Arcs &arcs, double within)
    {
        bool added = false;
        for (int arc : m_moving) {
            const double slowest = within * speedMargin * smoothSlowestSpeed * chordOf(arcs[arc]);
            std::vector<double> speeds(checkedSpeeds);
            for (int k = 0; k < checkedSpeeds; ++k) {
                const Velocity v =
                    velocity(arcs[arc], angleAt(k), std::sin(angleAt(k)), std::cos(angleAt(k)));
                speeds[k] = std::hypot(v.x, v.y);
            }
            for (int k = 0; k < checkedSpeeds; ++k) {
                const bool lowest = (k == 0 || speeds[k] <= speeds[k - 1]) &&
                                    (k == checkedSpeeds - 1 || speeds[k] < speeds[k + 1]);
                const double t = angleAt(k);
                const bool held = std::any_of(m_angles[arc].begin(), m_angles[arc].end(),
                                              [t](const Angle &angle) { return angle.t == t; });
                if (lowest && speeds[k] < slowest && !held) {
                    m_angles[arc].push_back({t, std::sin(t), std::cos(t)});
                    added = true;
                }
            }
        }
        return added;
    }

    // The solution reached from x, which is left there, or nothing when the solver finds none
    // from x. Without holdSpeed the speed is held at the joins only.
    std::optional<Solution> solve(std::vector<double> &x, bool holdSpeed)
    {
        const unsigned n = unsigned(m_unknowns.size());
        const std::unique_ptr<nlopt_opt_s, decltype(&nlopt_destroy)> opt(
            nlopt_create(NLOPT_LD_SLSQP, n), &nlopt_destroy);
        std::vector<double> lower, upper;
        for (std::size_t i = 0; i < n; ++i) {
            lower.push_back(m_unknowns[i].lower);
            upper.push_back(m_unknowns[i].upper);
            x[i] = std::clamp(x[i], lower[i], upper[i]);
        }
        nlopt_set_lower_bounds(opt.get(), lower.data());
        nlopt_set_upper_bounds(opt.get(), upper.data());
        nlopt_set_min_objective(opt.get(), &Problem::change, this);
        const std::vector<double> joinTolerance(m_sides.size(), 1e-12);
        nlopt_add_equality_mconstraint(opt.get(), unsigned(m_across.size()),
                                       &Problem::joinSides<true>, this, joinTolerance.data());
        nlopt_add_inequality_mconstraint(opt.get(), unsigned(m_sides.size()),
                                         &Problem::joinSides<false>, this, joinTolerance.data());
        std::size_t speedRows = 0;
        for (int arc : m_moving)
            speedRows += m_angles[arc].size();
        const std::vector<double> speedTolerance(speedRows, 1e-9);
        if (holdSpeed)
            nlopt_add_inequality_mconstraint(opt.get(), unsigned(speedTolerance.size()),
                                             &Problem::speeds, this, speedTolerance.data());
        nlopt_set_xtol_rel(opt.get(), 1e-12);
        nlopt_set_maxeval(opt.get(), 300);
        double reached = 0;
        const nlopt_result result = nlopt_optimize(opt.get(), x.data(), &reached);
        // Stopped by roundoff or by the count of steps, SLSQP has still usually reached its
        // answer, or come near it: what it reached is checked by the caller either way.
        if (result < 0 && result != NLOPT_ROUNDOFF_LIMITED)
            return std::nullopt;
        set(x.data());
        return Solution{m_arcs, m_directions, reached};
    }

private:
    struct Angle
    {
        double t, s, c;
    };
    // One side of a join: the velocity of the arc arriving there, or of the one leaving.
    struct Side
    {
        int join;
        bool arriving;
    };

    // Whether a component of an arc's velocity is zero, and none of the unknowns moves it.
    bool staysZero(double component, const std::array<double, columnCount> &derivatives,
                   int arc) const
    {
        if (component != 0)
            return false;
        return std::none_of(m_unknowns.begin(), m_unknowns.end(), [&](const Unknown &u) {
            return u.column != Direction && u.index == arc && derivatives[u.column] != 0;
        });
    }

    void set(const double *x)
    {
        for (std::size_t i = 0; i < m_unknowns.size(); ++i) {
            const Unknown &u = m_unknowns[i];
            if (u.column == Direction)
                m_directions[u.index] = x[i];
            else
                parameter(m_arcs[u.index], u.column) = u.scale * x[i];
        }
    }

    // The change: the sum of the squared moves of the arcs' parameters, each on its own scale.
    static double change(unsigned n, const double *x, double *gradient, void *data)
    {
        const auto &unknowns = static_cast<Problem *>(data)->m_unknowns;
        double sum = 0;
        for (unsigned i = 0; i < n; ++i) {
            const bool counts = unknowns[i].column != Direction;
            const double move = counts ? x[i] - unknowns[i].target : 0;
            sum += move * move;
            if (gradient)
                gradient[i] = 2 * move;
        }
        return sum;
    }

    // For each join, the arriving then the leaving arc's velocity there: with Across, its part
    // across the join's direction (zero); otherwise how far its part along the direction falls
    // short of the slowest allowed speed (at most zero). On the scale of the arc's chord.
    template <bool Across>
    static void joinSides(unsigned m, double *result, unsigned n, const double *x, double *gradient,
                          void *data)
    {
        auto &problem = *static_cast<Problem *>(data);
        problem.set(x);
        for (unsigned row = 0; row < m; ++row) {
            const auto [join, arriving] = (Across ? problem.m_across : problem.m_sides)[row];
            const int arc = arriving ? join : join + 1;
            const Velocity v = arriving ? arrivingVelocity(problem.m_arcs[arc])
                                        : leavingVelocity(problem.m_arcs[arc]);
            const double chord = problem.m_chords[arc];
            const double c = std::cos(problem.m_directions[join]);
            const double s = std::sin(problem.m_directions[join]);
            // Along the direction (c, s), or across it, along (-s, c).
            const double byX = Across ? -s : c, byY = Across ? c : s;
            const double part = v.x * byX + v.y * byY;
            const double turned = Across ? -(v.x * c + v.y * s) : -v.x * s + v.y * c;
            const double slowest = speedMargin * smoothSlowestSpeed * chord;
            result[row] = (Across ? part : slowest - part) / chord;
            if (!gradient)
                continue;
            const double sign = Across ? 1 : -1;
            for (unsigned i = 0; i < n; ++i) {
                const Unknown &u = problem.m_unknowns[i];
                double d = 0;
                if (u.column == Direction && u.index == join)
                    d = turned;
                else if (u.column != Direction && u.index == arc)
                    d = (v.dx[u.column] * byX + v.dy[u.column] * byY) * u.scale;
                gradient[row * n + i] = sign * d / chord;
            }
        }
    }

    // For each moving arc and angle, how far its squared speed falls short of the slowest
    // allowed, on the scale of its squared chord: at most 0.
    static void speeds(unsigned m, double *result, unsigned n, const double *x, double *gradient,
                       void *data)
    {
        auto &problem = *static_cast<Problem *>(data);
        problem.set(x);
        unsigned row = 0;
        for (int arcIndex : problem.m_moving) {
            const ArcParameters &arc = problem.m_arcs[arcIndex];
            const double chord = problem.m_chords[arcIndex];
            const double slowest = speedMargin * smoothSlowestSpeed * chordOf(arc);
            for (const Angle &angle : problem.m_angles[arcIndex]) {
                const Velocity v = velocity(arc, angle.t, angle.s, angle.c);
                result[row] = (slowest * slowest - (v.x * v.x + v.y * v.y)) / (chord * chord);
                if (gradient) {
                    for (unsigned i = 0; i < n; ++i) {
                        const Unknown &u = problem.m_unknowns[i];
                        const bool ofArc = u.column != Direction && u.index == arcIndex;
                        gradient[row * n + i] =
                            ofArc ? -2 * (v.x * v.dx[u.column] + v.y * v.dy[u.column]) * u.scale /
                                        (chord * chord)
                                  : 0;
                    }
                }
                ++row;
            }
        }
        Q_ASSERT(row == m);
    }

    Arcs m_arcs;
    Directions m_directions{};
    std::vector<int> m_joins;
    std::vector<int> m_moving;
    std::vector<Unknown> m_unknowns;
    std::array<std::vector<Angle>, 4> m_angles; // where each arc's speed is held
    std::array<double, 4> m_chords{};
    std::vector<Side> m_sides;  // both sides of every join
    std::vector<Side> m_across; // the sides whose velocity must lie along the join's direction
};

// What the user had, as the solver starts from it: an increment never set counts as 1, the value
// its box shows and the one that gives the same arc while the displacement is 0.
double startingValue(const ArcParameters &arc, int column)
{
    double value = parameter(arc, column);
    if ((column == IncrementX || column == IncrementY) && (value == 0 || !std::isfinite(value)))
        value = 1;
    return std::isfinite(value) ? value : 0;
}

Unknown unknownFor(const ArcParameters &arc, int arcIndex, int column)
{
    const double value = startingValue(arc, column);
    switch (column) {
    case DisplacementX:
        return {arcIndex, column, smoothHorizontalLimit, -1, 1, value / smoothHorizontalLimit};
    case DisplacementY:
        return {arcIndex, column, smoothVerticalLimit, -1, 1, value / smoothVerticalLimit};
    default: {
        // Within 0.05 to 8 in size, or as far as the user's own value, up to limits beyond
        // which the arc is a tangle of waves or nearly unbent.
        const double size = std::abs(value);
        const double smallest = std::min(smallestIncrement, std::max(size, 0.01));
        const double largest = std::max(largestIncrement, std::min(size, 64.0));
        if (value > 0)
            return {arcIndex, column, 1, smallest, largest, value};
        return {arcIndex, column, 1, -largest, -smallest, value};
    }
    }
}

// An increment as its box will show it and the checks read it back: the same double.
double asShown(double increment)
{
    return parseNumber(formatNumber(increment, QLocale::c()), QLocale::c()).value_or(increment);
}

bool isSmooth(const Arcs &arcs, const std::vector<int> &joins)
{
    const std::array<Join, 3> all = joinsOf(arcs);
    return std::all_of(joins.begin(), joins.end(),
                       [&](int j) { return all[j].turn && *all[j].turn < smoothTurnDegrees; });
}

bool isAllowed(const ArcParameters &arc)
{
    const auto whole = [](double value, int limit) {
        return value == std::round(value) && std::abs(value) <= limit;
    };
    const auto accepted = [](double increment) {
        return std::isfinite(increment) && increment != 0 &&
               checkIncrement(formatNumber(increment), QString()).message.isEmpty();
    };
    return whole(arc.SPTX, smoothHorizontalLimit) && whole(arc.SPTY, smoothVerticalLimit) &&
           accepted(arc.AVAX) && accepted(arc.AVAY) && keepsMoving(arc);
}

// The row a solved arc gives: whole displacements as a bar holds them, increments as typed.
SegmentValues rowOf(const ArcParameters &arc)
{
    return {Variant::integer(std::int16_t(arc.SPTX)), Variant::integer(std::int16_t(arc.SPTY)),
            Variant::real(arc.AVAX), Variant::real(arc.AVAY)};
}

double directionOf(const Velocity &v)
{
    return std::atan2(v.y, v.x);
}

class Smoothing
{
public:
    Smoothing(const BasePoints &points, const SegmentTable &table, std::optional<Segment> only)
    {
        for (Segment segment : segments) {
            const auto i = static_cast<int>(segment);
            m_arcs[i] = segmentArc(points, segment, table.row(segment));
            if (!only || *only == segment)
                m_moving.push_back(i);
        }
        for (int join = 0; join < 3; ++join)
            if (isMoving(join) || isMoving(join + 1))
                m_joins.push_back(join);
    }

    bool alreadySmooth() const
    {
        return isSmooth(m_arcs, m_joins) &&
               std::all_of(m_moving.begin(), m_moving.end(),
                           [&](int arc) { return keepsMoving(m_arcs[arc]); });
    }

    std::optional<Arcs> solve() const
    {
        if (std::optional<Arcs> arcs = solveFrom(startingDirections()))
            return arcs;
        return solveFrom(otherDirections());
    }

    const std::vector<int> &moving() const { return m_moving; }

    // Whether a solved arc is the user's, an increment never set taken as the 1 it shows: its
    // row then stays as it was, unset values and all.
    bool isAsItWas(const ArcParameters &solved, int arc) const
    {
        for (int column = DisplacementX; column < Direction; ++column)
            if (parameter(solved, column) != startingValue(m_arcs[arc], column))
                return false;
        return true;
    }

private:
    // How far arcs are from the user's, as the solver measures it.
    double changeFrom(const Arcs &arcs) const
    {
        double sum = 0;
        for (int arc : m_moving)
            for (int column = DisplacementX; column < Direction; ++column) {
                const Unknown u = unknownFor(m_arcs[arc], arc, column);
                const double move = parameter(arcs[arc], column) / u.scale - u.target;
                sum += move * move;
            }
        return sum;
    }

    bool isMoving(int arc) const
    {
        return std::find(m_moving.begin(), m_moving.end(), arc) != m_moving.end();
    }

    // The arcs reached from these starts of the joins' tangents. Each start may end at a
    // different solution: the least changing one is made whole, or if it cannot be, the next.
    std::optional<Arcs> solveFrom(const std::vector<Directions> &starts) const
    {
        std::vector<Solution> solutions;
        for (const Directions &directions : starts)
            if (std::optional<Solution> solved = solveWith({m_arcs, directions}, {})) {
                solved->change = changeFrom(solved->arcs);
                solutions.push_back(*solved);
            }
        std::sort(solutions.begin(), solutions.end(),
                  [](const Solution &a, const Solution &b) { return a.change < b.change; });
        for (const Solution &solution : solutions)
            if (std::optional<Solution> whole = madeWhole(solution)) {
                Arcs arcs = whole->arcs;
                for (int arc : m_moving) {
                    arcs[arc].AVAX = asShown(arcs[arc].AVAX);
                    arcs[arc].AVAY = asShown(arcs[arc].AVAY);
                }
                if (isSmooth(arcs, m_joins) &&
                    std::all_of(m_moving.begin(), m_moving.end(),
                                [&](int arc) { return isAllowed(arcs[arc]); }))
                    return arcs;
            }
        return std::nullopt;
    }

    // Where else the tangents may start when those fail: along the line through the points
    // before and after the join, either way, or across the first starts.
    std::vector<Directions> otherDirections() const
    {
        const Directions between = startingDirections().front();
        Directions through{}, back{}, left{}, right{};
        for (int join = 0; join < 3; ++join) {
            const ArcParameters &before = m_arcs[join], &after = m_arcs[join + 1];
            through[join] =
                std::atan2(after.Y9 + after.ASM - before.Y9, after.X9 + after.ASQ - before.X9);
            back[join] = through[join] + std::numbers::pi;
            left[join] = between[join] + quarterTurn;
            right[join] = between[join] - quarterTurn;
        }
        return {through, back, left, right};
    }

    // Where the solver starts the joins' tangents: halfway between the two arcs' directions
    // there (or, at a cusp, the leaving arc's), then each side's direction for every join. A
    // solver of this kind finds the nearest solution, and a cusp has two: either side may turn.
    std::vector<Directions> startingDirections() const
    {
        Directions between{}, arriving{}, leaving{};
        for (int join = 0; join < 3; ++join) {
            const Velocity in = arrivingVelocity(m_arcs[join]);
            const Velocity out = leavingVelocity(m_arcs[join + 1]);
            arriving[join] = directionOf(in);
            leaving[join] = directionOf(out);
            const double sx = std::cos(arriving[join]) + std::cos(leaving[join]);
            const double sy = std::sin(arriving[join]) + std::sin(leaving[join]);
            between[join] = std::hypot(sx, sy) > 0.1 ? std::atan2(sy, sx) : leaving[join];
        }
        return {between, arriving, leaving};
    }

    // The displacements of a solution made whole one segment at a time, trying the whole
    // corners around it in order of nearness, the rest solved again each time.
    std::optional<Solution> madeWhole(Solution solved) const
    {
        std::vector<int> fixed;
        for (int arc : m_moving) {
            fixed.push_back(arc);
            std::optional<Solution> next;
            for (const auto &[x, y] : wholeNeighbours(solved.arcs[arc])) {
                Solution trial = solved;
                trial.arcs[arc].SPTX = x;
                trial.arcs[arc].SPTY = y;
                if ((next = solveWith(trial, fixed)))
                    break;
            }
            if (!next)
                return std::nullopt;
            solved = *next;
        }
        return solved;
    }

    // The four whole displacements around the arc's, nearest first, within the bars' ranges.
    static std::vector<std::pair<double, double>> wholeNeighbours(const ArcParameters &arc)
    {
        std::vector<std::pair<double, double>> corners;
        for (double x : {std::floor(arc.SPTX), std::ceil(arc.SPTX)})
            for (double y : {std::floor(arc.SPTY), std::ceil(arc.SPTY)})
                corners.emplace_back(
                    std::clamp(x, double(-smoothHorizontalLimit), double(smoothHorizontalLimit)),
                    std::clamp(y, double(-smoothVerticalLimit), double(smoothVerticalLimit)));
        std::stable_sort(corners.begin(), corners.end(), [&](const auto &a, const auto &b) {
            return std::hypot(a.first - arc.SPTX, a.second - arc.SPTY) <
                   std::hypot(b.first - arc.SPTX, b.second - arc.SPTY);
        });
        corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
        return corners;
    }

    // A solve from start, the displacements of the fixed arcs kept as start has them; the
    // change is still measured from the user's values.
    std::optional<Solution> solveWith(const Solution &start, const std::vector<int> &fixed) const
    {
        std::vector<Unknown> unknowns;
        std::vector<double> x;
        Arcs arcs = start.arcs;
        for (int arc : m_moving) {
            const bool isFixed = std::find(fixed.begin(), fixed.end(), arc) != fixed.end();
            for (int column = isFixed ? IncrementX : DisplacementX; column < Direction; ++column) {
                unknowns.push_back(unknownFor(m_arcs[arc], arc, column));
                x.push_back(startingValue(start.arcs[arc], column) / unknowns.back().scale);
                parameter(arcs[arc], column) = startingValue(start.arcs[arc], column);
            }
        }
        for (int join : m_joins) {
            const double from = start.directions[join];
            unknowns.push_back(
                {join, Direction, 1, from - 2 * std::numbers::pi, from + 2 * std::numbers::pi, 0});
            x.push_back(from);
        }
        Problem problem(arcs, m_joins, m_moving, std::move(unknowns));
        // First with the speed held at the joins only, where the constraints are linear in the
        // velocities; then everywhere, from a solution whose directions already run the right
        // way. Held everywhere from the start, the squared speed's linear approximation would
        // forbid a velocity to reverse through zero, and the first step would find no way.
        std::optional<Solution> solved = problem.solve(x, false);
        // The speed is held where it is lowest and may come too low, then also where the
        // solution still came too slow.
        if (solved)
            problem.holdSlowestAngles(solved->arcs, 2);
        for (int round = 0; solved && round < 6; ++round) {
            solved = problem.solve(x, true);
            if (!solved || !problem.holdSlowestAngles(solved->arcs, 1))
                break;
        }
        if (!solved || !isSmooth(solved->arcs, m_joins) ||
            !std::all_of(m_moving.begin(), m_moving.end(),
                         [&](int arc) { return keepsMoving(solved->arcs[arc]); }))
            return std::nullopt;
        return solved;
    }

    Arcs m_arcs;
    std::vector<int> m_moving;
    std::vector<int> m_joins;
};

} // namespace

bool keepsMoving(const ArcParameters &arc)
{
    const double slowest = smoothSlowestSpeed * chordOf(arc);
    for (int k = 0; k < checkedSpeeds; ++k) {
        const double t = quarterTurn * k / (checkedSpeeds - 1);
        const Velocity v = k == checkedSpeeds - 1 ? arrivingVelocity(arc)
                                                  : velocity(arc, t, std::sin(t), std::cos(t));
        if (!(std::hypot(v.x, v.y) >= slowest))
            return false;
    }
    return true;
}

std::optional<SegmentTable> smoothedTable(const BasePoints &points, const SegmentTable &table,
                                          std::optional<Segment> only)
{
    const Smoothing smoothing(points, table, only);
    if (smoothing.alreadySmooth())
        return table;
    const auto arcs = smoothing.solve();
    if (!arcs)
        return std::nullopt;
    SegmentTable smoothed = table;
    for (int arc : smoothing.moving())
        if (!smoothing.isAsItWas((*arcs)[arc], arc))
            smoothed.setRow(segments[arc], rowOf((*arcs)[arc]));
    return smoothed;
}
