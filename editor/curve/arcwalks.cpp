#include "editor/curve/arcwalks.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <latch>
#include <limits>
#include <memory>
#include <mutex>
#include <numeric>

namespace {

std::atomic<int> walkThreads{0};
std::atomic<bool> walkReuse{true};
std::atomic<long long> walkedArcs{0};

// Below this many angles in all, waking a second thread costs more than it saves.
constexpr double parallelAngles = 20000;
// A range shorter than this gains less than its thread's waking and its first additions cost.
constexpr long shortestRange = 5000;

// What one range of an arc's angles gives: its points, their dots, the dots' bounds, and
// whether the arc ended within it.
struct RangeLists
{
    std::vector<ArcPoint> plane;
    std::vector<QPoint> corners;
    QRect bounds;
    bool ended = false;
};

// One piece of a walk: the steps first .. last - 1 of one arc.
struct Range
{
    std::size_t arc = 0;
    long first = 0;
    long last = maximumArcSteps;
    RangeLists *lists = nullptr;
};

void walkRange(const ArcParameters &arc, const ArcFrame &frame, const DotMapping &mapping,
               const Range &range)
{
    // Filled through lists on this thread's stack, keeping the outputs' storage: the outputs
    // lie next to each other, and their ends written at every point from two cores would
    // bounce one cache line between them.
    std::vector<ArcPoint> onPlane = std::move(range.lists->plane);
    std::vector<QPoint> onWindow = std::move(range.lists->corners);
    onPlane.clear();
    onWindow.clear();
    // The bounds are kept here, on the walk's thread, so that plotting is only stores.
    int left = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min();
    int bottom = std::numeric_limits<int>::min();
    const bool ended =
        walkArcSteps(arc, frame, range.first, range.last, [&](double x, double y, double theta) {
            onPlane.push_back({theta, QPointF(x, y)});
            const QPoint corner = mapping.corner(x + frame.CX, frame.CY - y);
            // At a large INST a hundred points or more fall on one dot: the same dot again
            // paints no other pixel, so it is kept once.
            if (corner == DotMapping::noDot || (!onWindow.empty() && onWindow.back() == corner))
                return;
            onWindow.push_back(corner);
            left = std::min(left, corner.x());
            top = std::min(top, corner.y());
            right = std::max(right, corner.x());
            bottom = std::max(bottom, corner.y());
        });
    RangeLists &lists = *range.lists;
    lists.plane = std::move(onPlane);
    lists.corners = std::move(onWindow);
    lists.bounds =
        lists.corners.empty() ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    lists.ended = ended;
}

// How many angles the arc's walk visits at most.
long stepsOf(const ArcFrame &frame)
{
    const double steps = std::floor(90 * frame.INST) + 1;
    return steps >= 1 ? static_cast<long>(std::min(steps, double(maximumArcSteps))) : 1;
}

// The lists of the ranges after an arc's first, kept from one walk to the next so that a drag
// does not allocate and touch fresh pages at every redraw.
class SpareLists
{
public:
    std::vector<std::unique_ptr<RangeLists>> take(std::size_t count)
    {
        std::vector<std::unique_ptr<RangeLists>> taken;
        {
            const std::lock_guard lock(m_mutex);
            while (taken.size() < count && !m_spare.empty()) {
                taken.push_back(std::move(m_spare.back()));
                m_spare.pop_back();
            }
        }
        while (taken.size() < count)
            taken.push_back(std::make_unique<RangeLists>());
        return taken;
    }

    void giveBack(std::vector<std::unique_ptr<RangeLists>> lists)
    {
        const std::lock_guard lock(m_mutex);
        for (auto &l : lists)
            m_spare.push_back(std::move(l));
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<RangeLists>> m_spare;
};

SpareLists &spareLists()
{
    static SpareLists lists;
    return lists;
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

void setArcWalkReuse(bool reuse)
{
    walkReuse = reuse;
}

bool arcWalkReuse()
{
    return walkReuse;
}

long long arcsWalked()
{
    return walkedArcs;
}

void walkArcs(std::span<const ArcParameters> arcs, const ArcFrame &frame, const DotMapping &mapping,
              std::span<std::vector<ArcPoint>> plane, std::span<ArcDots> dots)
{
    const std::size_t count = std::min({arcs.size(), plane.size(), dots.size()});
    if (count == 0)
        return;
    walkedArcs += static_cast<long long>(count);
    const auto threads = static_cast<std::size_t>(arcWalkThreads());
    const long steps = stepsOf(frame);
    // Each arc's own lists take its first range.
    std::vector<RangeLists> first(count);
    for (std::size_t i = 0; i < count; ++i) {
        first[i].plane = std::move(plane[i]);
        first[i].corners = std::move(dots[i].corners);
    }
    // As many ranges an arc as make every core's share the same: with two cores, one arc in
    // two halves, two or four arcs whole, three in halves.
    std::size_t ranges = threads / std::gcd(count, threads);
    ranges = std::clamp<std::size_t>(ranges, 1,
                                     static_cast<std::size_t>(std::max(1L, steps / shortestRange)));
    const bool parallel = threads > 1 && double(steps) * double(count) >= parallelAngles;
    if (!parallel)
        ranges = 1;
    std::vector<std::unique_ptr<RangeLists>> later = spareLists().take(count * (ranges - 1));
    std::vector<Range> pieces;
    pieces.reserve(count * ranges);
    for (std::size_t i = 0; i < count; ++i) {
        // An arc's later ranges first: this thread takes one at once and adds up the angles
        // before it while the other threads wake, and the first range, which starts at 0 with
        // nothing to add up, goes to the thread that wakes last.
        for (std::size_t r = ranges; r-- > 0;) {
            // The last range runs to the walk's own end, whatever the estimate.
            const long from = steps * long(r) / long(ranges);
            const long to = r + 1 == ranges ? maximumArcSteps : steps * long(r + 1) / long(ranges);
            pieces.push_back(
                {i, from, to, r == 0 ? &first[i] : later[i * (ranges - 1) + r - 1].get()});
        }
    }
    if (!parallel) {
        for (const Range &piece : pieces)
            walkRange(arcs[piece.arc], frame, mapping, piece);
    } else {
        // Each thread, this one included, takes the next range not taken until none is left, so
        // a short arc does not leave a core idle. The shared part outlives this call: a pool
        // thread that starts only after every range is done still reads the counter.
        struct Shared
        {
            std::atomic<std::size_t> next{0};
            std::latch done;
            explicit Shared(std::ptrdiff_t pieces) : done(pieces) {}
        };
        const std::size_t total = pieces.size();
        auto shared = std::make_shared<Shared>(static_cast<std::ptrdiff_t>(total));
        auto work = [shared, arcs, frame, mapping, pieces = std::span<const Range>(pieces), total] {
            for (std::size_t i; (i = shared->next++) < total;) {
                walkRange(arcs[pieces[i].arc], frame, mapping, pieces[i]);
                shared->done.count_down();
            }
        };
        for (std::size_t helper = 1; helper < std::min(threads, total); ++helper)
            QThreadPool::globalInstance()->start(work);
        work();
        shared->done.wait();
    }
    // Each arc's ranges joined in the order of their angles, up to the one in which it ended.
    for (std::size_t i = 0; i < count; ++i) {
        RangeLists &whole = first[i];
        bool ended = whole.ended;
        for (std::size_t r = 1; r < ranges && !ended; ++r) {
            RangeLists &next = *later[i * (ranges - 1) + r - 1];
            whole.plane.insert(whole.plane.end(), next.plane.begin(), next.plane.end());
            const bool sameDot = !whole.corners.empty() && !next.corners.empty() &&
                                 whole.corners.back() == next.corners.front();
            whole.corners.insert(whole.corners.end(), next.corners.begin() + sameDot,
                                 next.corners.end());
            whole.bounds |= next.bounds;
            ended = next.ended;
        }
        plane[i] = std::move(whole.plane);
        dots[i].corners = std::move(whole.corners);
        dots[i].bounds = whole.bounds;
    }
    spareLists().giveBack(std::move(later));
}

bool ArcWalks::identical(const Inputs &a, const Inputs &b)
{
    // To the bit: -0 and +0, or two NaNs, may walk differently, and a point's sign is kept.
    const auto same = [](auto x, auto y) {
        using Bits = std::conditional_t<sizeof(x) == 8, std::uint64_t, std::uint32_t>;
        return std::bit_cast<Bits>(x) == std::bit_cast<Bits>(y);
    };
    const ArcParameters &p = a.arc;
    const ArcParameters &q = b.arc;
    return same(p.ASQ, q.ASQ) && same(p.ASM, q.ASM) && same(p.SPTX, q.SPTX) &&
           same(p.SPTY, q.SPTY) && same(p.X9, q.X9) && same(p.Y9, q.Y9) && same(p.AVAX, q.AVAX) &&
           same(p.AVAY, q.AVAY) && same(a.frame.P1, b.frame.P1) && same(a.frame.CX, b.frame.CX) &&
           same(a.frame.CY, b.frame.CY) && same(a.frame.INST, b.frame.INST) &&
           same(a.mapping.perUnitX, b.mapping.perUnitX) &&
           same(a.mapping.perUnitY, b.mapping.perUnitY) &&
           a.mapping.dotWidth == b.mapping.dotWidth && a.mapping.size == b.mapping.size;
}

ArcWalks::Walked ArcWalks::walk(const std::array<ArcParameters, count> &arcs, const ArcFrame &frame,
                                const DotMapping &mapping,
                                std::span<std::vector<ArcPoint>, count> plane)
{
    Walked walked{};
    // The arcs to walk, side by side in lists of their own for walkArcs.
    std::array<ArcParameters, count> changed;
    std::array<std::vector<ArcPoint>, count> changedPlane;
    std::array<ArcDots, count> changedDots;
    std::array<std::size_t, count> index{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Inputs inputs{arcs[i], frame, mapping};
        walked[i] = !arcWalkReuse() || !m_inputs[i] || !identical(*m_inputs[i], inputs);
        m_inputs[i] = inputs;
        if (!walked[i])
            continue;
        changed[n] = arcs[i];
        changedPlane[n] = std::move(plane[i]);
        changedDots[n] = std::move(m_dots[i]);
        index[n++] = i;
    }
    walkArcs(std::span(changed).first(n), frame, mapping, std::span(changedPlane).first(n),
             std::span(changedDots).first(n));
    for (std::size_t k = 0; k < n; ++k) {
        plane[index[k]] = std::move(changedPlane[k]);
        m_dots[index[k]] = std::move(changedDots[k]);
    }
    return walked;
}
