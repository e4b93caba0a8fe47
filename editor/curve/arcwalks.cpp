#include "editor/curve/arcwalks.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <latch>
#include <limits>
#include <memory>

namespace {

std::atomic<int> walkThreads{0};

// Below this many angles in all, waking a second thread costs more than it saves.
constexpr double parallelAngles = 20000;

void walkOne(const ArcParameters &arc, const ArcFrame &frame, const DotMapping &mapping,
             std::vector<ArcPoint> &plane, ArcDots &dots)
{
    // Filled through lists on this thread's stack, keeping the outputs' storage: the outputs
    // lie next to each other, and their ends written at every point from two cores would
    // bounce one cache line between them.
    std::vector<ArcPoint> onPlane = std::move(plane);
    std::vector<QPoint> onWindow = std::move(dots.corners);
    onPlane.clear();
    onWindow.clear();
    // The bounds are kept here, on the walk's thread, so that plotting is only stores.
    int left = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min();
    int bottom = std::numeric_limits<int>::min();
    walkArc(arc, frame, [&](double x, double y, double theta) {
        onPlane.push_back({theta, QPointF(x, y)});
        const QPoint corner = mapping.corner(x + frame.CX, frame.CY - y);
        if (corner == DotMapping::noDot)
            return;
        onWindow.push_back(corner);
        left = std::min(left, corner.x());
        top = std::min(top, corner.y());
        right = std::max(right, corner.x());
        bottom = std::max(bottom, corner.y());
    });
    plane = std::move(onPlane);
    dots.corners = std::move(onWindow);
    dots.bounds = dots.corners.empty() ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

void setArcWalkThreads(int threads)
{
    walkThreads = std::max(0, threads);
}

int arcWalkThreads()
{
    const int threads = walkThreads;
    return threads > 0 ? threads : std::max(1, QThread::idealThreadCount());
}

void walkArcs(std::span<const ArcParameters> arcs, const ArcFrame &frame, const DotMapping &mapping,
              std::span<std::vector<ArcPoint>> plane, std::span<ArcDots> dots)
{
    const std::size_t count = std::min({arcs.size(), plane.size(), dots.size()});
    const auto threads = static_cast<std::size_t>(arcWalkThreads());
    const double angles = 90 * std::clamp(frame.INST, 0.0, maximumPointsIncrement) * double(count);
    if (threads <= 1 || count <= 1 || !(angles >= parallelAngles)) {
        for (std::size_t i = 0; i < count; ++i)
            walkOne(arcs[i], frame, mapping, plane[i], dots[i]);
        return;
    }
    // Each thread, this one included, takes the next arc not taken until none is left, so a
    // short arc does not leave a core idle. The shared part outlives this call: a pool thread
    // that starts only after every arc is done still reads the counter.
    struct Shared
    {
        std::atomic<std::size_t> next{0};
        std::latch done;
        explicit Shared(std::ptrdiff_t arcs) : done(arcs) {}
    };
    auto shared = std::make_shared<Shared>(static_cast<std::ptrdiff_t>(count));
    auto work = [shared, arcs, frame, mapping, plane, dots, count] {
        for (std::size_t i; (i = shared->next++) < count;) {
            walkOne(arcs[i], frame, mapping, plane[i], dots[i]);
            shared->done.count_down();
        }
    };
    for (std::size_t helper = 1; helper < std::min(threads, count); ++helper)
        QThreadPool::globalInstance()->start(work);
    work();
    shared->done.wait();
}
