#include "fuzzinput.h"

#include "editor/curve/arc.h"

#include <cmath>

// The arc walk with any values for every parameter and every field of the frame: it ends, and
// every point it hands out is finite and inside the bounds.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    ArcParameters arc;
    for (double *field :
         {&arc.ASQ, &arc.ASM, &arc.SPTX, &arc.SPTY, &arc.X9, &arc.Y9, &arc.AVAX, &arc.AVAY})
        *field = input.number(0);
    ArcFrame frame;
    frame.INST = input.number(frame.INST);
    frame.P1 = input.single(frame.P1);
    frame.CX = input.single(frame.CX);
    frame.CY = input.single(frame.CY);

    const double xLimit = double(frame.CX) + 100;
    const double yLimit = frame.CY;
    long calls = 0;
    const int plotted = walkArc(arc, frame, [&](double x, double y) {
        ++calls;
        if (!std::isfinite(x) || !std::isfinite(y))
            fuzzFailure("a point that is not finite was plotted");
        if (!(std::abs(x) <= xLimit) || !(std::abs(y) <= yLimit))
            fuzzFailure("a point beyond the bounds was plotted");
    });
    if (plotted != calls)
        fuzzFailure("the count of plotted points is not the number of calls");
    if (calls > 90 * maximumPointsIncrement + 1)
        fuzzFailure("more points than the largest points increment allows");
    return 0;
}
