#pragma once

#include "draw/canvas.h"
#include "editor/curve/arc.h"

#include <QPoint>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// The editor's arcs walked together: each into its own lists, on every core when the walks are
// long enough to gain from it, an arc shared between the cores by ranges of its angles when
// there are fewer arcs than cores. Widget-free; the result does not depend on the threads used.

// How many threads walkArcs may use: 0 (the default) for QThread::idealThreadCount(), 1 to walk
// one arc after the other on the calling thread.
void setArcWalkThreads(int threads);
int arcWalkThreads();

// The dots of one walked arc on the surface: the corners of the points' dots (x + CX and
// CY - y, placed by the surface's mapping), leaving out the points that paint nothing and a
// dot that repeats the one before it (the same pixels again), and the rectangle from the
// smallest corner to the largest.
struct ArcDots
{
    std::vector<QPoint> corners;
    QRect bounds;
};

// Walks arcs[i] into plane[i] (the editor's plane with the walk's angles, as walkArc gives
// them) and dots[i], replacing what they held.
void walkArcs(std::span<const ArcParameters> arcs, const ArcFrame &frame, const DotMapping &mapping,
              std::span<std::vector<ArcPoint>> plane, std::span<ArcDots> dots);

// Whether ArcWalks takes an arc over from its last walk when nothing it depends on changed
// (the default), or walks every arc at every redraw: tests compare the two.
void setArcWalkReuse(bool reuse);
bool arcWalkReuse();

// How many arcs walkArcs has walked since the program started: what a redraw walked again, for
// tests and benchmarks.
long long arcsWalked();

// The editor's four arcs from one redraw to the next: an arc whose parameters, frame and dot
// mapping are, to the bit, those of its last walk here has the same points and dots, so only
// the arcs that changed are walked again (a drag changes one).
class ArcWalks
{
public:
    static constexpr std::size_t count = 4;
    using Walked = std::array<bool, count>;

    // Walks each arc that differs from its last walk into plane[i] and its dots; for the others
    // plane[i] is left as it is, and the caller keeps the points of their last walk. Returns
    // which arcs were walked.
    Walked walk(const std::array<ArcParameters, count> &arcs, const ArcFrame &frame,
                const DotMapping &mapping, std::span<std::vector<ArcPoint>, count> plane);
    // The dots of the arc's last walk.
    const ArcDots &dots(std::size_t arc) const { return m_dots[arc]; }
    // The next walk walks every arc.
    void forget() { m_inputs = {}; }

private:
    struct Inputs
    {
        ArcParameters arc;
        ArcFrame frame;
        DotMapping mapping;
    };
    static bool identical(const Inputs &a, const Inputs &b);

    std::array<std::optional<Inputs>, count> m_inputs;
    std::array<ArcDots, count> m_dots;
};
