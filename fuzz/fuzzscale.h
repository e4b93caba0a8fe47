#pragma once

#include "fuzzinput.h"

#include "editor/curve/truescale.h"

#include <algorithm>
#include <cmath>

// Millimetres a unit from the input, within what "Scala reale..." accepts; 1 for a value that is
// not a number.
inline double fuzzedMillimetresPerUnit(FuzzInput &input)
{
    const double millimetres = std::abs(input.number(1));
    return std::isfinite(millimetres)
               ? std::clamp(millimetres, smallestMillimetresPerUnit, largestMillimetresPerUnit)
               : 1;
}
